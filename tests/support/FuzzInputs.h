// SPDX-License-Identifier: MIT
#pragma once

#include "TestFiles.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Runs the fuzz target linked into the test on every file kept in fuzz/inputs/FOLDER, whose
// promises abort the test when broken; returns how many there were.
inline qsizetype runKeptFuzzInputs(const char* folder) {
    const QFileInfoList inputs = QDir(TEST_DATA "/../../fuzz/inputs/" + QString::fromLatin1(folder))
                                     .entryInfoList(QDir::Files);
    for (const QFileInfo& input : inputs) {
        qInfo("%s", qPrintable(input.fileName()));
        const QByteArray bytes = readBytes(input.filePath());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()),
                               size_t(bytes.size()));
    }
    return inputs.size();
}
