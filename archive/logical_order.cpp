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
        const char16_t x = a[i] == u'\\' ? 0 : a[i];
        const char16_t y = b[j] == u'\\' ? 0 : b[j];
        if (x != y) return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    return j < b.size() ? -1 : 0;
}

}  // namespace spurlese::archive
