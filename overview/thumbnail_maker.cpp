#include "overview/thumbnail_maker.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "archive/media_files.h"
#include "overview/exif.h"
#include "platform/platform.h"

namespace spurlese::overview {

namespace {

// Enough of a camera's JPEG for its EXIF block and the thumbnail in it (64 KiB at most).
constexpr size_t kHeadBytes = 80 << 10;
constexpr size_t kSignatureBytes = 12;  // enough to tell a picture or film from anything else

// Whether the file's first bytes are those of a picture or film the system's codecs may decode:
// a JPEG, PNG, GIF, BMP, TIFF, WebP, or an ISO media file (HEIC, MP4, MOV, by the type of its
// first box). Anything else (a file cut short, a placeholder, a misnamed document) has no
// picture, and asking the codecs about it costs milliseconds each under Wine.
bool LooksDecodable(std::string_view head) {
    static constexpr std::string_view kStarts[] = {"\xFF\xD8", "\x89PNG", "GIF8",
                                                   "BM",       "II*",     "MM\0*"};
    for (std::string_view start : kStarts) {
        if (head.starts_with(start)) return true;
    }
    if (head.size() >= 12 && head.starts_with("RIFF") && head.substr(8, 4) == "WEBP") return true;
    static constexpr std::string_view kBoxes[] = {"ftyp", "moov", "mdat", "wide",
                                                  "free", "skip", "pnot"};
    const std::string_view box = head.size() >= 8 ? head.substr(4, 4) : std::string_view();
    return std::find(std::begin(kBoxes), std::end(kBoxes), box) != std::end(kBoxes);
}

}  // namespace

std::u16string ThumbnailName(std::u16string_view file) {
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a over the lower-cased path
    for (const char16_t unit : platform::LowerCase(file)) {
        hash = (hash ^ (unit & 0xFF)) * 1099511628211ULL;
        hash = (hash ^ (unit >> 8)) * 1099511628211ULL;
    }
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string name;
    for (int shift = 60; shift >= 0; shift -= 4) name.push_back(kHex[(hash >> shift) & 15]);
    return name + u".jpg";
}

bool IsThumbnailName(std::u16string_view name) {
    if (name.size() != 20 || !name.ends_with(u".jpg")) return false;
    return name.substr(0, 16).find_first_not_of(u"0123456789abcdef") == std::u16string_view::npos;
}

Thumbnail MakeThumbnail(const std::u16string& file, const std::u16string& folder) {
    const std::u16string name = ThumbnailName(file);
    platform::ThumbnailRequest request;
    request.source = file;
    request.maxSide = kThumbnailSide;
    if (archive::MediaKindOf(file) == archive::MediaKind::kVideo) {
        request.video = true;
        std::string head;
        const bool made =
            platform::ReadFileStart(file, kSignatureBytes, &head) && LooksDecodable(head) &&
            platform::WriteThumbnail(request, folder + name) == platform::ThumbnailOutcome::kMade;
        return made ? Thumbnail{ThumbnailKind::kPicture, name}
                    : Thumbnail{ThumbnailKind::kFilm, {}};
    }
    std::string head;
    if (!platform::ReadFileStart(file, kHeadBytes, &head) || !LooksDecodable(head))
        return Thumbnail{ThumbnailKind::kNameOnly, {}};
    {
        const JpegFacts facts = ReadJpegFacts(head);
        request.orientation = facts.orientation;
        if (facts.thumbnailLength > 0) {
            request.encoded = head.substr(facts.thumbnailOffset, facts.thumbnailLength);
            // Cameras embed 160 x 120: taken as it is when it is upright and no larger than a
            // thumbnail of ours; else decoded, scaled and turned like the picture.
            int width = 0, height = 0;
            request.asIs = facts.orientation == 1 &&
                           JpegDimensions(request.encoded, &width, &height) &&
                           std::max(width, height) <= kThumbnailSide;
        }
    }
    platform::ThumbnailOutcome outcome = platform::WriteThumbnail(request, folder + name);
    if (outcome == platform::ThumbnailOutcome::kNoPicture && !request.encoded.empty()) {
        // An embedded thumbnail the system cannot read: the picture itself, then.
        request.encoded.clear();
        request.asIs = false;
        outcome = platform::WriteThumbnail(request, folder + name);
    }
    return outcome == platform::ThumbnailOutcome::kMade ? Thumbnail{ThumbnailKind::kPicture, name}
                                                        : Thumbnail{ThumbnailKind::kNameOnly, {}};
}

}  // namespace spurlese::overview
