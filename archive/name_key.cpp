#include "archive/name_key.h"

#include <algorithm>
#include <iterator>

#include "archive/decomposition_table.h"
#include "platform/platform.h"

namespace spurlese::archive {

namespace {

// Hangul syllables decompose by rule (Unicode, chapter 3.12).
constexpr char16_t kSyllableBase = 0xAC00, kLeadBase = 0x1100, kVowelBase = 0x1161,
                   kTrailBase = 0x11A7;
constexpr int kVowels = 21, kTrails = 28, kSyllables = 19 * kVowels * kTrails;

void Decompose(char16_t unit, std::u16string* out) {
    if (unit >= kSyllableBase && unit < kSyllableBase + kSyllables) {
        const int index = unit - kSyllableBase;
        out->push_back(static_cast<char16_t>(kLeadBase + index / (kVowels * kTrails)));
        out->push_back(static_cast<char16_t>(kVowelBase + index % (kVowels * kTrails) / kTrails));
        if (index % kTrails) out->push_back(static_cast<char16_t>(kTrailBase + index % kTrails));
        return;
    }
    const auto* end = std::end(kDecompositions) - 1;  // the last entry only marks the end
    const auto* found =
        std::lower_bound(std::begin(kDecompositions), end, unit,
                         [](const Decomposition& d, char16_t u) { return d.unit < u; });
    if (found == end || found->unit != unit) {
        out->push_back(unit);
        return;
    }
    out->append(kDecompositionUnits + found->start, kDecompositionUnits + (found + 1)->start);
}

int CombiningClass(char16_t unit) {
    const auto* found =
        std::upper_bound(std::begin(kCombiningRuns), std::end(kCombiningRuns), unit,
                         [](char16_t u, const CombiningRun& run) { return u < run.first; });
    if (found == std::begin(kCombiningRuns)) return 0;
    --found;
    return unit <= found->last ? found->combiningClass : 0;
}

// The canonical decomposed form, lower-cased.
std::u16string DecomposedKey(std::u16string_view name) {
    std::u16string decomposed;
    decomposed.reserve(name.size());
    for (char16_t unit : name) Decompose(unit, &decomposed);
    // Marks that follow one another are put in the order of their classes.
    for (size_t i = 0; i < decomposed.size();) {
        if (CombiningClass(decomposed[i]) == 0) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < decomposed.size() && CombiningClass(decomposed[end]) != 0) ++end;
        std::stable_sort(
            decomposed.begin() + static_cast<ptrdiff_t>(i),
            decomposed.begin() + static_cast<ptrdiff_t>(end),
            [](char16_t a, char16_t b) { return CombiningClass(a) < CombiningClass(b); });
        i = end;
    }
    return platform::LowerCase(decomposed);
}

}  // namespace

void AssignLowerCase(std::u16string_view name, std::u16string* out) {
    if (std::any_of(name.begin(), name.end(), [](char16_t unit) { return unit >= 0x80; })) {
        *out = platform::LowerCase(name);
        return;
    }
    out->assign(name);
    for (char16_t& unit : *out) {
        if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + (u'a' - u'A'));
    }
}

void AssignNameKey(std::u16string_view name, std::u16string* out) {
    // Below U+00C0 nothing decomposes and nothing combines: most names end here.
    if (std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0xC0; })) {
        AssignLowerCase(name, out);
        return;
    }
    *out = DecomposedKey(name);
}

std::u16string NameKey(std::u16string_view name) {
    std::u16string key;
    AssignNameKey(name, &key);
    return key;
}

}  // namespace spurlese::archive
