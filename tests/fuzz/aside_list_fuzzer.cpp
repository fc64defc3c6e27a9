// libFuzzer target: arbitrary bytes as a Spurlese_Beiseitegelegt.txt that a user may have edited.
// Reading it never fails unsafely, and what it yields, written as a list and read again, is the
// same entries: a tidy-up's list survives every putting back that rewrites it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tidy/set_aside.h"

using namespace spurlese;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string text =
        platform::Utf8ToUtf16(std::string(reinterpret_cast<const char*>(data), size));
    std::u16string folder;
    const std::vector<tidy::AsideEntry> entries = tidy::ParseJournal(text, &folder);
    std::u16string again;
    if (tidy::ParseJournal(tidy::JournalText(entries, folder), &again) != entries) std::abort();
    return 0;
}
