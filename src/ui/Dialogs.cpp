// SPDX-License-Identifier: MIT
#include "Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

QString QtDialogs::askText(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, {}, &ok);
    return ok ? text : QString();
}

void QtDialogs::inform(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::askRetry(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pellory"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* retry = box.addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    box.setEscapeButton(
        box.addButton(QStringLiteral("Close Without Saving"), QMessageBox::DestructiveRole));
    box.setDefaultButton(retry);
    box.exec();
    return box.clickedButton() == retry;
}

void QtDialogs::tell(QWidget* parent, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Pellory"), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

} // namespace ui
