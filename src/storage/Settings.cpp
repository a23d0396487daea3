// SPDX-License-Identifier: MIT
#include "Settings.h"

#include "IniFile.h"
#include "Numbers.h"

namespace storage {
namespace {

const QString kSection = QStringLiteral("Main");

QString valueText(OptionState state) {
    return QString::number(static_cast<int>(state));
}

} // namespace

QString Settings::key(Option option) {
    switch (option) {
    case Option::AutoSave:
        return QStringLiteral("Load/Save");
    case Option::HideInTray:
        return QStringLiteral("HideInTray");
    case Option::FontTags:
        return QStringLiteral("FontTags");
    case Option::PlaySound:
        return QStringLiteral("PlaySound");
    }
    return {};
}

std::optional<OptionState> Settings::parseOption(const QString& text) {
    const std::optional<qint16> value = engine::parseInt16(text);
    if (!value || *value < 0 || *value > 2)
        return std::nullopt;
    return static_cast<OptionState>(*value);
}

std::optional<OptionState> Settings::option(Option option) const {
    return parseOption(readIniValue(path_, kSection, key(option)));
}

QString Settings::storeOption(Option option, OptionState state) const {
    return writeIniValues(path_, kSection, {{key(option), valueText(state)}});
}

QString Settings::storeAll(const OptionStates& options, int fontFace, int fontSize) const {
    IniValues values;
    for (const Option option : kOptions)
        values.append({key(option), valueText(options[static_cast<size_t>(option)])});
    values.append({QStringLiteral("FontFace"), QString::number(fontFace)});
    values.append({QStringLiteral("FontSize"), QString::number(fontSize)});
    return writeIniValues(path_, kSection, values);
}

} // namespace storage
