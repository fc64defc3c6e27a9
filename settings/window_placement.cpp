#include "settings/window_placement.h"

#include <limits>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "settings/settings_file.h"

namespace spurlese {

namespace {

constexpr std::u16string_view kGroup = u"General";
constexpr std::u16string_view kKey = u"MainWindowPosition";
constexpr int64_t kSmallestWidth = 320;
constexpr int64_t kSmallestHeight = 200;

int DigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
    return 99;
}

// The k-th field (from 1) between commas; empty when there are fewer.
std::u16string_view Field(std::u16string_view value, int k) {
    for (int i = 1; i < k; ++i) {
        const size_t comma = value.find(u',');
        if (comma == std::u16string_view::npos) return {};
        value.remove_prefix(comma + 1);
    }
    return value.substr(0, value.find(u','));
}

}  // namespace

int64_t Clamp(int64_t value, int64_t lower, int64_t upper) {
    if (value < lower) return lower;
    if (value > upper) return upper;
    return value;
}

int64_t FieldNumber(std::u16string_view field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+')) negative = field[i++] == u'-';
    int base = 10;
    if (i < field.size() && field[i] == u'$') {
        base = 16;
        ++i;
    } else if (i < field.size() && field[i] == u'%') {
        base = 2;
        ++i;
    }
    // Counted towards the negative end, which holds one more value than the positive end.
    constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
    int64_t number = 0;
    for (; i < field.size() && DigitValue(field[i]) < base; ++i) {
        const int digit = DigitValue(field[i]);
        if (number < (kLowest + digit) / base) {
            number = kLowest;
        } else {
            number = number * base - digit;
        }
    }
    if (negative) return number;
    return number == kLowest ? std::numeric_limits<int64_t>::max() : -number;
}

void LoadSettings() {
    SettingsFile document = OpenSettingsFile(kSettingsFileName, kSettingsFileOptions);
    if (!document) return;
    SelectGroup(document.get(), kGroup);
    if (platform::WindowExists(platform::kMainWindow)) {
        const std::u16string value = ReadValue(document.get(), kKey, u"");
        if (!value.empty()) {
            // The display's size comes in the same units as the window's placement, so the
            // bounds hold on a scaled display too.
            int displayWidth = 0, displayHeight = 0;
            platform::DisplaySize(0, &displayWidth, &displayHeight);
            const int64_t width = Clamp(FieldNumber(Field(value, 3)), kSmallestWidth, displayWidth);
            const int64_t height =
                Clamp(FieldNumber(Field(value, 4)), kSmallestHeight, displayHeight);
            const int64_t x = Clamp(FieldNumber(Field(value, 1)), 0, displayWidth - width);
            const int64_t y = Clamp(FieldNumber(Field(value, 2)), 0, displayHeight - height);
            platform::PlaceWindow(platform::kMainWindow, static_cast<int>(x), static_cast<int>(y),
                                  static_cast<int>(width), static_cast<int>(height));
        }
    }
    CloseSettingsFile(std::move(document));
}

void SaveSettings() {
    SettingsFile document = CreateSettingsFile(kSettingsFileName, kSettingsFileOptions);
    if (!document) return;
    SelectGroup(document.get(), kGroup);
    platform::Rect frame;
    int width = 0, height = 0;
    if (platform::GetFrameRect(platform::kMainWindow, &frame) &&
        platform::GetClientSize(platform::kMainWindow, &width, &height)) {
        WriteValue(document.get(), kKey,
                   Decimal(frame.x) + u"," + Decimal(frame.y) + u"," + Decimal(width) + u"," +
                       Decimal(height));
    }
    CloseSettingsFile(std::move(document));
}

}  // namespace spurlese
