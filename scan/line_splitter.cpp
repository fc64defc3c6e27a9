#include "scan/line_splitter.h"

#include <algorithm>

#include "platform/platform.h"

namespace {

void EmitLine(std::string* bytes, const LineSink& onLine) {
    bytes->erase(std::remove(bytes->begin(), bytes->end(), '\r'), bytes->end());
    onLine(platform::Utf8ToUtf16(*bytes));
    bytes->clear();
}

}  // namespace

void SplitLines(LineSplitter* splitter, std::string_view bytes, const LineSink& onLine) {
    size_t from = 0;
    for (;;) {
        const size_t lf = bytes.find('\n', from);
        if (lf == std::string_view::npos) break;
        splitter->partial.append(bytes.substr(from, lf - from));
        EmitLine(&splitter->partial, onLine);
        from = lf + 1;
    }
    splitter->partial.append(bytes.substr(from));
}

void FinishLines(LineSplitter* splitter, const LineSink& onLine) {
    if (!splitter->partial.empty()) EmitLine(&splitter->partial, onLine);
}
