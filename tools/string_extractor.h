// The text extractor behind spurlese_strings.exe: every run of at least `minLength` printable
// characters of a file, in file order, one per line (LF), encoded as UTF-8. It finds byte runs
// (ASCII, plus letters in valid UTF-8 or, where the bytes are not valid UTF-8, Windows-1252
// letters) and UTF-16LE runs at even and odd offsets (ASCII plus Latin letters U+00C0-U+024F).
// A drive-letter path ("X:\" or "X:/", not "X://") is read whole by wider rules: from its drive
// letter on, every character Windows allows in a file name belongs to it, in any encoding, so
// names with dashes, typographic quotes, symbols, other scripts or emoji come out in one line.
// A path always starts its own line, also when it is glued to whatever precedes it; it must
// reach the minimum length on its own.
//
// Streaming: feed the file block by block; memory stays bounded whatever the file size. A run
// longer than kRunPieceBytes is written in pieces, one per line: each piece ends right before the
// first character that starts kRunPieceBytes or more bytes after the piece's own start. So the
// pieces depend on the file alone, never on the blocks it was fed in, and no character is lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The extractor reads 16 bytes at a time with SSE2 where the compiler offers it, or byte by byte
// in the portable build (SPURLESE_PORTABLE_SCAN), which the tests build too; both can live in one
// program.
#if defined(__SSE2__) && !defined(SPURLESE_PORTABLE_SCAN)
#define SPURLESE_EXTRACTOR_BUILD sse2
#else
#define SPURLESE_EXTRACTOR_BUILD portable
#endif

namespace spurlese {

namespace extractor {

inline constexpr size_t kRunPieceBytes = size_t{1} << 20;

inline namespace SPURLESE_EXTRACTOR_BUILD {

// One kind of run (bytes, or UTF-16LE units at one parity) being followed across blocks.
struct RunState {
    bool active = false;
    uint64_t start = 0;  // file offset of the run's first byte
    uint64_t chars = 0;
    uint64_t next = 0;   // file offset this scanner looks at next
    std::string carry;   // raw bytes of the active run from earlier blocks, not yet written
    bool split = false;  // pieces of the run have been written: the rest is written too
};

// A finished string: its place in the file and its text, text[begin, end) of its scanner's
// PendingStrings.
struct Pending {
    uint64_t start;
    size_t begin;
    size_t end;
};

// The strings one scanner has finished, in file order, until no earlier string can follow.
struct PendingStrings {
    std::string text;
    std::vector<Pending> strings;
    size_t next = 0;  // the first not yet written
};

// Block positions [begin, end) that a drive-letter path holds, so no run of its kind may.
struct PathSpan {
    size_t begin;
    size_t end;
};

struct Extractor {
    uint64_t minLength = 3;
    size_t pieceBytes = kRunPieceBytes;
    uint64_t offset = 0;             // file offset of block[0]
    std::string block;               // bytes fed but not yet scanned, kept for look-ahead
    RunState runs[3];                // 0: byte runs; 1, 2: UTF-16LE runs at even and odd offsets
    PendingStrings pending[4];       // per scanner, as `runs`, then the paths of all three kinds
    std::vector<PathSpan> paths[3];  // per scanner, as `runs`: the paths of the block
    uint64_t pathEnd[3] = {};        // per scanner: file offset where its last path ended
    std::string* out = nullptr;
};

// `pieceBytes` other than kRunPieceBytes only lets tests reach long runs with short files.
void ExtractorStart(Extractor* x, uint64_t minLength, std::string* out,
                    size_t pieceBytes = kRunPieceBytes);
// Scans the bytes; strings whose place in the file order is settled are appended to *out.
void ExtractorFeed(Extractor* x, const char* data, size_t size);
// Ends the file: the remaining strings are written.
void ExtractorFinish(Extractor* x);

// The whole job for bytes in memory.
std::string ExtractStrings(const std::string& bytes, uint64_t minLength);

}  // namespace SPURLESE_EXTRACTOR_BUILD
}  // namespace extractor

}  // namespace spurlese
