// Runs the fuzz target once on every file in a folder, without libFuzzer, so that the kept
// inputs are a regression test of the normal build.
#include <QDir>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    const QFileInfoList inputs =
        QDir(QFile::decodeName(argc > 1 ? argv[1] : "")).entryInfoList(QDir::Files);
    for (const QFileInfo& input : inputs) {
        QFile file(input.filePath());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        std::printf("%s\n", qPrintable(input.fileName()));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()),
                               size_t(bytes.size()));
    }
    std::printf("%lld inputs kept every promise\n", qlonglong(inputs.size()));
    return inputs.isEmpty() ? 1 : 0;
}
