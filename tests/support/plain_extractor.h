// The extractor's rules read plainly, one character after the other, with none of the fast
// extractor's bit masks, blocks or look-ahead: the reference its output must equal byte for byte.
#pragma once

#include <cstdint>
#include <string>

#include "tools/string_extractor.h"

namespace spurlese {

std::string PlainExtract(const std::string& bytes, uint64_t minLength,
                         size_t pieceBytes = extractor::kRunPieceBytes);

}  // namespace spurlese
