// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace bridge {

// What an aim: URL asks for: the away text, or why the URL cannot be carried out.
struct AwayRequest {
    QString text;
    QString error; // one line; empty when the URL is usable

    bool ok() const { return error.isEmpty(); }
};

// Reads "aim:goaway?message=VALUE" as handed over by the desktop, byte for byte. Scheme,
// command and parameter names match without regard to case; the value runs to the next "&",
// a raw "#" included; other parameters are ignored; the first "message" parameter counts.
AwayRequest parseAimUrl(QByteArrayView url);

// A query value as bytes: "+" is a space, "%XX" one byte, anything else passes raw. Nothing
// when a "%" is not followed by two hex digits.
std::optional<QByteArray> percentDecode(QByteArrayView value);

} // namespace bridge
