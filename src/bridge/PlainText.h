// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace bridge {

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
