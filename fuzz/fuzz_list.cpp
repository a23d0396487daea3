#include "FuzzMain.h"
#include "Invariants.h"

#include <cstddef>
#include <cstdint>

// Random RandomMsgs.lst content, loaded, saved and loaded again.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzMain::Start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    FuzzMain::Report(Robust::CheckMessageListFile(content, FuzzMain::ScratchFolder()));
    return 0;
}
