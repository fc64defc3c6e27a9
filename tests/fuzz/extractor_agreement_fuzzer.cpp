// libFuzzer target: any bytes, fed to the fast extractor in blocks of any size, must give exactly
// what the plain reading gives. The first byte picks the minimum length, the second the blocks;
// its high bit repeats the bytes past the length at which runs are written in pieces, so that
// very long runs are fed in blocks of up to 64 KiB.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/plain_extractor.h"
#include "tools/string_extractor.h"

using namespace spurlese;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint64_t minLength = 1 + data[0] % 40;
    std::string file(reinterpret_cast<const char*>(data) + 2, size - 2);
    const bool expand = (data[1] & 0x80) != 0 && !file.empty();
    if (expand) {
        while (file.size() <= extractor::kRunPieceBytes + 64) file += file;
    }
    const size_t largest = expand ? 65536 : 64;
    std::string out;
    extractor::Extractor x;
    extractor::ExtractorStart(&x, minLength, &out);
    // Block sizes from 1 byte up, varied by a simple generator seeded from the second byte.
    uint32_t seed = data[1];
    for (size_t at = 0; at < file.size();) {
        seed = seed * 1103515245 + 12345;
        const size_t block = std::min<size_t>(1 + (seed >> 16) % largest, file.size() - at);
        extractor::ExtractorFeed(&x, file.data() + at, block);
        at += block;
    }
    extractor::ExtractorFinish(&x);
    if (out != PlainExtract(file, minLength)) __builtin_trap();
    return 0;
}
