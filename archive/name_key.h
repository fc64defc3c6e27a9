// File names as people write them and file systems keep them: the same name may come composed
// (ä as one character, as Windows keyboards type it) or decomposed (a and a combining diaeresis,
// as a Mac or a phone may store it), and in any letter case.
#pragma once

#include <string>
#include <string_view>

namespace spurlese::archive {

// The name in its canonical decomposed form (NFD), lower-cased: equal for every spelling of one
// name.
std::u16string NameKey(std::u16string_view name);

}  // namespace spurlese::archive
