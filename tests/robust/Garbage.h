#pragma once

#include <QByteArray>
#include <QString>

// A fixed set of hostile files, the same on every run: NUL bytes, invalid UTF-8, a 10 MB
// single line, 100,000 short lines, lone CRs, UTF-8 marks, and mixtures of them.
namespace Garbage {

inline constexpr int Count = 500;

// What file `index` (0 to Count - 1) is made of, for a test row's name.
QString Kind(int index);
QByteArray File(int index);

} // namespace Garbage
