// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace bridge {

// The text as libpurple can keep it in its status file: every line break becomes LF and
// every other character that XML 1.0 cannot hold (C0 controls but tab, U+FFFE, U+FFFF) is
// dropped. Otherwise the client writes a file it discards at its next start, and a CR LF
// stored now but read back as LF later would make the same text look new.
QString storableStatusText(const QString& text);

} // namespace bridge
