#pragma once

#include <QByteArrayView>
#include <QString>

namespace Storage {

// Text read from the list and settings files: UTF-8 where the bytes are valid UTF-8,
// otherwise Windows-1252, so that files written on Windows keep their accents.
QString DecodeText(QByteArrayView bytes);

} // namespace Storage
