#include "archive/logical_order.h"

namespace spurlese::archive {

namespace {

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

}  // namespace

int LogicalCompare(std::u16string_view a, std::u16string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Numbers by value: without their leading zeros, the longer is larger; then digit by
            // digit; equal values with more leading zeros come after.
            size_t zerosA = 0, zerosB = 0;
            while (i < a.size() && a[i] == u'0') ++i, ++zerosA;
            while (j < b.size() && b[j] == u'0') ++j, ++zerosB;
            size_t endA = i, endB = j;
            while (endA < a.size() && IsDigit(a[endA])) ++endA;
            while (endB < b.size() && IsDigit(b[endB])) ++endB;
            if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
            for (; i < endA; ++i, ++j) {
                if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
            }
            if (zerosA != zerosB) return zerosA < zerosB ? -1 : 1;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

int LogicalPathCompare(std::u16string_view a, std::u16string_view b) {
    for (;;) {
        const size_t cutA = a.find(u'\\'), cutB = b.find(u'\\');
        const bool fileA = cutA == std::u16string_view::npos;
        const bool fileB = cutB == std::u16string_view::npos;
        if (fileA != fileB) return fileA ? 1 : -1;  // a folder's folders before its files
        if (const int c = LogicalCompare(a.substr(0, cutA), b.substr(0, cutB))) return c;
        if (fileA) return 0;
        a.remove_prefix(cutA + 1);
        b.remove_prefix(cutB + 1);
    }
}

}  // namespace spurlese::archive
