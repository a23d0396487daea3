#include "Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace ui {

QString QtDialogs::askText(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, {}, &ok);
    return ok ? text : QString();
}

void QtDialogs::inform(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

} // namespace ui
