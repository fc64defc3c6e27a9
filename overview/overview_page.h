// "Übersicht als Webseite speichern…": a page that shows the shows, one section per project file
// with its pictures as tiles, made from a scan's record and the thumbnails made for it. The page
// needs nothing but its folder of thumbnails: no script, no network.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_record.h"

namespace spurlese::overview {

// Text as HTML writes it in an element or a quoted attribute.
std::u16string EscapeHtml(std::u16string_view text);

// The file: address of a Windows path ("D:\Fotos\a b.jpg" is "file:///D:/Fotos/a%20b.jpg", a
// share "\\server\fotos\a.jpg" is "file://server/fotos/a.jpg"): every character but letters,
// digits, "-._~", the separators and a drive's colon percent-encoded as UTF-8, so that any name
// Windows allows opens the file it names.
std::u16string FileUrl(std::u16string_view path);

// A relative address of a name in the page's own folder, encoded the same way.
std::u16string RelativeUrl(std::u16string_view folder, std::u16string_view name);

// The files the page shows a thumbnail of, each once: every used file (by its identity, in the
// scan's order), then the likeliest new places of each missing file (three at most).
std::vector<std::u16string> ThumbnailFiles(const ScanRecord& record);

// What was made for one file: a picture, a film tile (a video without a frame), or a tile with its
// name only (a file that cannot be decoded).
enum class ThumbnailKind { kPicture, kFilm, kNameOnly };
struct Thumbnail {
    ThumbnailKind kind = ThumbnailKind::kNameOnly;
    std::u16string file;  // the thumbnail's name in the page's folder, for kPicture
};

struct PageFacts {
    std::u16string folderName;  // the thumbnails' folder beside the page
    int64_t scannedAt = 0;      // when the scan ended, as ListingEntry::lastWrite counts
    // The thumbnail of each of ThumbnailFiles(record), in that order.
    std::vector<Thumbnail> thumbnails;
};

std::u16string OverviewPageText(const ScanRecord& record, const PageFacts& facts);

}  // namespace spurlese::overview
