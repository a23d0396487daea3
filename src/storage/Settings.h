// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace storage {

// A tick box as stored: off, on, or the greyed third state of a hand-edited file.
enum class OptionState { Off = 0, On = 1, Greyed = 2 };

enum class Option { AutoSave, HideInTray, FontTags, PlaySound };
inline constexpr std::array kOptions = {Option::AutoSave, Option::HideInTray, Option::FontTags,
                                        Option::PlaySound};
using OptionStates = std::array<OptionState, kOptions.size()>;

// Config.ini: the four options and the two font choices, in section "Main". Every other
// line of the file is kept as it is.
class Settings {
public:
    explicit Settings(QString path) : path_(std::move(path)) {}

    static QString key(Option option);
    // "0", "1" and "2", with the tolerance of typed numbers ("1.0", " 1 "); nothing for
    // anything else.
    static std::optional<OptionState> parseOption(const QString& text);

    // The stored state; nothing when the key is missing or holds something else.
    std::optional<OptionState> option(Option option) const;
    const QString& path() const { return path_; }
    // Each returns why the file could not be written, or an empty string.
    [[nodiscard]] QString storeOption(Option option, OptionState state) const;
    // All six keys in their fixed order, in one write: the end of a run.
    [[nodiscard]] QString storeAll(const OptionStates& options, int fontFace, int fontSize) const;

private:
    QString path_;
};

} // namespace storage
