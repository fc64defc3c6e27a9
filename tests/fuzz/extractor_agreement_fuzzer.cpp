// libFuzzer target: any bytes, fed to the fast extractor in blocks of any size, must give exactly
// what the plain reading gives. The first byte picks the minimum length, the second the blocks
// and the length at which long runs are written in pieces: the real one, or (top bits 10) a short
// one, so that the fuzzer's short files hold runs long enough to be written in pieces. (Runs of
// the real piece length, a mebibyte, are too slow to fuzz; tests/headless/extractor_test.cpp
// feeds them.)
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/plain_extractor.h"
#include "tools/string_extractor.h"

using namespace spurlese;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint64_t minLength = 1 + data[0] % 40;
    const size_t pieceBytes = (data[1] >> 6) == 2 ? 1 + data[0] : extractor::kRunPieceBytes;
    const std::string file(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::string out;
    extractor::Extractor x;
    extractor::ExtractorStart(&x, minLength, &out, pieceBytes);
    // Block sizes from 1 to 64 bytes, varied by a simple generator seeded from the second byte.
    uint32_t seed = data[1];
    for (size_t at = 0; at < file.size();) {
        seed = seed * 1103515245 + 12345;
        const size_t block = std::min<size_t>(1 + (seed >> 16) % 64, file.size() - at);
        extractor::ExtractorFeed(&x, file.data() + at, block);
        at += block;
    }
    extractor::ExtractorFinish(&x);
    if (out != PlainExtract(file, minLength, pieceBytes)) __builtin_trap();
    return 0;
}
