#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace Bridge {

// What an aim: URL asks for: the away text, or why the URL cannot be carried out.
struct AwayRequest {
    QString text;
    QString error; // one line; empty when the URL is usable

    bool ok() const { return error.isEmpty(); }
};

// Reads "aim:goaway?message=VALUE" as handed over by the desktop, byte for byte. Scheme,
// command and parameter names match without regard to case; a raw "#" starts a fragment,
// which is ignored; other parameters are ignored; the first "message" parameter counts.
AwayRequest ParseAimUrl(QByteArrayView url);

// A query value as bytes: "+" is a space, "%XX" one byte, anything else passes raw. Nothing
// when a "%" is not followed by two hex digits.
std::optional<QByteArray> PercentDecode(QByteArrayView value);

// Every valid UTF-8 sequence as UTF-8; every other byte as Windows-1252, so text from
// either kind of sender survives, even when both are mixed in one message.
QString DecodeUtf8Or1252(QByteArrayView bytes);

} // namespace Bridge
