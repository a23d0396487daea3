// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace bridge {

// The most UTF-8 bytes the markup handed to libpurple may have. Its plain form is never
// longer, so it fits the IRC AWAY line that libpurple makes of it; a longer text makes the
// server drop the client, and a much longer one crashes Finch.
constexpr qsizetype kMarkupBytes = 400;

// An aim: link comes from any web page, so its text is hostile until it has been through
// messengerText(). Only that function makes a MessengerText, and messengers take nothing
// else: a messenger added later gets the safe forms too.
class MessengerText {
public:
    // For libpurple, which renders markup and decodes entities itself: tags and named
    // entities as they came; no control character; no numeric character reference at all
    // (libpurple would decode "&#13;" into a CR that ends the IRC line); line breaks as <br>;
    // at most kMarkupBytes, cut between characters, tags and entities.
    const QString& markup() const { return markup_; }
    // For the clients that show text as typed: one line of plain text, at most
    // kIrcAwayBytes, with no control character and no reference to one.
    const QString& plain() const { return plain_; }

private:
    MessengerText(QString markup, QString plain)
        : markup_(std::move(markup)), plain_(std::move(plain)) {}
    friend MessengerText messengerText(const QString& away);

    QString markup_;
    QString plain_;
};

MessengerText messengerText(const QString& away);

// The code point of a numeric character reference at `at` ("&#13;", "&#x0d;", "&#0013"),
// read as leniently as C's scanf reads it (blanks, a sign, any number of digits, the value
// wrapping at 32 bits, the ";" optional), with its length; nothing when there is none.
struct Reference {
    quint32 codePoint;
    qsizetype length;
};
std::optional<Reference> numericReferenceAt(QStringView text, qsizetype at);

// C0 and C1 controls and DEL, and NUL.
constexpr bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The value of a hex digit, or -1.
constexpr int hexValue(char16_t c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// What one AWAY line may carry, in bytes of UTF-8 text: the line's 512 bytes less the
// command, the nick and host the server puts in front of it when it relays it, and CR LF.
constexpr qsizetype kIrcAwayBytes = 400;

// The away text as an IRC client must send it, since IRC shows markup as typed: tags are
// removed (a <br> or paragraph becomes a line break), entities decoded, every run of white
// space (line breaks too) becomes one space, control characters are dropped, the ends are
// trimmed and the text is cut on a character boundary to kIrcAwayBytes. IRC takes an empty
// away text for "back", so an empty result becomes "Away", as libpurple sends it.
QString ircAwayText(const QString& markup);

} // namespace bridge
