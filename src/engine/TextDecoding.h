#pragma once

#include <QByteArrayView>
#include <QString>

namespace engine {

// Text from outside (a line of the list or settings file, a message in an aim: link): UTF-8
// when the bytes are valid UTF-8 as a whole, otherwise Windows-1252, so that text written
// on Windows keeps its accents. No byte is ever dropped.
QString decodeUtf8Or1252(QByteArrayView bytes);

} // namespace engine
