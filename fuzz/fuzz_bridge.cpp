// SPDX-License-Identifier: MIT
// Any bytes as the aim: link a web page hands the bridge: it never crashes, and every
// messenger's text keeps each promise below.
#include "text/AimUrl.h"
#include "text/MessengerText.h"

#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool kept, const char* promise) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

// A numeric reference to a control character, read the way libpurple reads one: C's
// strtoul after "&#", or after "&#x" in hexadecimal.
bool hasControlReference(const QByteArray& utf8) {
    for (qsizetype at = utf8.indexOf("&#"); at >= 0; at = utf8.indexOf("&#", at + 1)) {
        const char* digits = utf8.constData() + at + 2;
        const bool hex = *digits == 'x' || *digits == 'X';
        char* end = nullptr;
        const auto code = unsigned(std::strtoul(digits + hex, &end, hex ? 16 : 10));
        if (end != digits + hex && bridge::isControl(code))
            return true;
    }
    return false;
}

void checkText(const QString& text, qsizetype limit, const char* which) {
    const QByteArray utf8 = text.toUtf8();
    require(text.isValidUtf16() && !text.isEmpty(), which);
    require(utf8.size() <= limit, "within the messenger's length");
    for (const char32_t c : text.toUcs4())
        require(!bridge::isControl(c), "no raw control character");
    require(!hasControlReference(utf8), "no reference to a control character");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bridge::AwayRequest request =
        bridge::parseAimUrl(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!request.ok()) {
        require(!request.error.contains(u'\n'), "a refusal is one line");
        return 0;
    }
    const bridge::MessengerText text = bridge::messengerText(request.text);
    checkText(text.markup().isEmpty() ? QStringLiteral("-") : text.markup(), bridge::kMarkupBytes,
              "libpurple's markup is whole UTF-8");
    require(!text.markup().contains(QLatin1String("&#")), "no numeric reference for libpurple");
    checkText(text.plain(), bridge::kIrcAwayBytes, "the plain text is whole UTF-8, not empty");
    return 0;
}
