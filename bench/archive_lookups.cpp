// The look-ups on the archive index, natively: the candidates for 1,000 missing files and the
// unused list, for an index of 200,000 files in 2,000 folders named as the demo's are, half of
// them used. Both are one pass over the archive (hashing); doubling the archive should about
// double the time. Prints the times for N and 2N files.
//
//   archive_lookups [FILES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/unused_files.h"
#include "archive/archive_index.h"
#include "archive/candidates.h"
#include "platform/platform.h"
#include "scan/scan_record.h"

using namespace spurlese;

namespace {

const std::u16string kBase = u"D:\\Familienbilder Stand Juni 2022";
const char16_t* const kTopics[] = {u"Urlaub 2019 \u2013 Italien",
                                   u"Geburtstag J\u00fcrgen",
                                   u"\u201eSommerfest\u201c",
                                   u"Omas 80. Geburtstag \u201919",
                                   u"Party \U0001F389",
                                   u"\u0391\u03b8\u03ae\u03bd\u03b1",
                                   u"Flohmarkt 5 \u20ac",
                                   u"Und dann\u2026",
                                   u"\u041c\u043e\u0441\u043a\u0432\u0430"};
const char16_t* const kStems[] = {u"IMG_", u"DSC", u"clip_", u"img_", u"Video "};
const char16_t* const kExtensions[] = {u".JPG", u".jpeg", u".MOV", u".HEIC", u".mp4"};

std::u16string Number(size_t n, size_t width) {
    std::u16string digits;
    for (; n > 0 || digits.size() < width; n /= 10) digits.insert(digits.begin(), u'0' + n % 10);
    return digits;
}

// An index as the walk would leave it: 100 files a folder.
archive::ArchiveIndex MakeIndex(size_t files) {
    archive::ArchiveIndex index;
    index.walked = true;
    for (size_t f = 0; f < files; ++f) {
        if (f % 100 == 0) {
            const size_t folder = f / 100;
            index.folders.push_back(kBase + u"\\" + kTopics[folder % 9] + u" " +
                                    Number(2000 + folder % 23, 4) + u" (" + Number(folder, 1) +
                                    u")");
        }
        const std::u16string name = kStems[f % 5] + Number(f % 10000, 4) + kExtensions[f % 5];
        index.files.push_back({static_cast<uint32_t>(index.folders.size() - 1),
                               static_cast<uint32_t>(index.names.size()),
                               static_cast<uint32_t>(name.size()), 1000, 0});
        index.names += name;
    }
    return index;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Prints the two times for an archive of `files`; returns their sum.
double Measure(size_t files) {
    const archive::ArchiveIndex index = MakeIndex(files);
    std::vector<std::u16string> missing;  // moved from an old folder, so every one has places
    for (size_t m = 0; m < 1000; ++m) {
        const archive::ArchiveFile& file = index.files[m * (files / 1000)];
        missing.push_back(kBase + u"\\Alte Sortierung\\" + std::u16string(index.Name(file)));
    }
    // Every hit named by its identity, as a scan leaves them.
    ScanRecord record;
    for (size_t f = 0; f < files; f += 2) {
        const std::u16string path = index.Path(index.files[f]);
        record.hits.push_back({path, u"C:\\Projekte\\Sommer.mph"});
        record.identities.emplace(path, FileIdentity{FileIdentity::Kind::kFile, path});
    }

    auto start = std::chrono::steady_clock::now();
    const auto candidates = archive::FindCandidates(index, missing);
    const double candidateSeconds = Seconds(start);
    start = std::chrono::steady_clock::now();
    record.archive = index;
    const std::u16string unused = UnusedFilesText(record);
    const double unusedSeconds = Seconds(start);
    size_t named = 0;
    for (const auto& places : candidates) named += places.size();
    std::printf(
        "%zu files: candidates for 1000 missing files %.3f s (%zu places), unused list "
        "%.3f s (%zu characters)\n",
        files, candidateSeconds, named, unusedSeconds, unused.size());
    return candidateSeconds + unusedSeconds;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200000;
    const double once = Measure(files);
    const double twice = Measure(2 * files);
    std::printf("look-ups for %zu files: %.3f s; for twice as many: %.3f s, ratio %.2f\n", files,
                once, twice, twice / once);
    return 0;
}
