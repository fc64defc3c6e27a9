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

// The name lower-cased, and its NameKey, written into `out`, which keeps its room for the next
// name: in loops over many names, which are mostly ASCII, that saves an allocation per name.
void AssignLowerCase(std::u16string_view name, std::u16string* out);
void AssignNameKey(std::u16string_view name, std::u16string* out);

}  // namespace spurlese::archive
