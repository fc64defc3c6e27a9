// Times the saving of the overview page under Wine for the benchmark's corpus, as
// "Übersicht als Webseite speichern…" does it once the dialog is answered, and says where the
// time goes: the list of files, their thumbnails (on every processor), the page's text, and
// writing it. The scan before it is not timed.
//     overview_bench.exe <project folder> <base path> <min length> <page>
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "overview/overview_page.h"
#include "overview/thumbnail_maker.h"
#include "platform/file_replace.h"
#include "platform/owners.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "scan/scan_driver.h"

using namespace spurlese;

namespace {

std::u16string U16(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: overview_bench <projects> <base path> <min length> <page>\n");
        return 2;
    }
    ScanInputs inputs;
    inputs.projectDirectory = U16(argv[1]);
    inputs.basePathText = inputs.basePath = U16(argv[2]);
    inputs.minLength = _wtoi(argv[3]);
    const std::u16string page = U16(argv[4]);
    const std::optional<ScanRecord> record = RunScan(inputs, ScanReport());
    if (!record) return 1;

    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double>(to - from).count();
    };
    const std::u16string where(FolderPart(page));
    const std::u16string folderName = u"Bench_Dateien";
    platform::CreateFolder(where + folderName);
    const auto start = Clock::now();
    const std::vector<std::u16string> files = overview::ThumbnailFiles(*record);
    const auto listed = Clock::now();
    std::vector<overview::Thumbnail> thumbnails(files.size());
    const std::u16string into = where + folderName + u"\\";
    platform::OwnedWork work(platform::StartWork(
        files.size(), platform::ProcessorCount(),
        [&](size_t k) { thumbnails[k] = overview::MakeThumbnail(files[k], into); }));
    size_t done = 0;
    while (!platform::WaitWork(work.Get(), 50, &done)) {
    }
    platform::FinishWork(work.Take(), false);
    const auto made = Clock::now();
    const std::u16string text =
        overview::OverviewPageText(*record, {folderName, record->finishedAt, thumbnails});
    const auto composed = Clock::now();
    std::string bytes;
    platform::ConvertUtf16ToUtf8(text, &bytes);
    WriteFileReplacing(page, bytes);
    const auto written = Clock::now();
    size_t pictures = 0;
    for (const overview::Thumbnail& thumbnail : thumbnails)
        pictures += thumbnail.kind == overview::ThumbnailKind::kPicture;
    std::printf(
        "overview saved in %.3f s: %zu files (%zu thumbnails made), %zu shows, page %.1f MB; "
        "the list of files %.3f s, the thumbnails %.3f s, the page's text %.3f s, writing %.3f s\n",
        seconds(start, written), files.size(), pictures, record->projectFiles.size(),
        bytes.size() / 1048576.0, seconds(start, listed), seconds(listed, made),
        seconds(made, composed), seconds(composed, written));
    return 0;
}
