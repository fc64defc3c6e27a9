#include "overview/exif.h"

#include <cstdint>

namespace spurlese::overview {

namespace {

// A TIFF block (the EXIF data after "Exif\0\0"), read in the byte order its header names.
class Tiff {
public:
    explicit Tiff(std::string_view bytes) : bytes_(bytes) {
        little_ = bytes.size() >= 8 && bytes.substr(0, 2) == "II";
        valid_ = bytes.size() >= 8 && (little_ || bytes.substr(0, 2) == "MM") && U16(2) == 42;
    }
    bool valid() const { return valid_; }
    bool Has(size_t at, size_t size) const {
        return at <= bytes_.size() && size <= bytes_.size() - at;
    }
    uint32_t U16(size_t at) const { return Has(at, 2) ? Read(at, 2) : 0; }
    uint32_t U32(size_t at) const { return Has(at, 4) ? Read(at, 4) : 0; }

private:
    uint32_t Read(size_t at, size_t size) const {
        uint32_t value = 0;
        for (size_t i = 0; i < size; ++i) {
            const uint32_t byte =
                static_cast<unsigned char>(bytes_[at + (little_ ? i : size - 1 - i)]);
            value |= byte << (8 * i);
        }
        return value;
    }
    std::string_view bytes_;
    bool little_ = false;
    bool valid_ = false;
};

constexpr uint16_t kOrientation = 0x0112;
constexpr uint16_t kThumbnailOffset = 0x0201;
constexpr uint16_t kThumbnailLength = 0x0202;

// The value of a SHORT or LONG entry of the IFD at `ifd` with this tag; `missing` when there is
// none.
uint32_t EntryValue(const Tiff& tiff, uint32_t ifd, uint16_t tag, uint32_t missing) {
    const uint32_t count = tiff.U16(ifd);
    for (uint32_t k = 0; k < count && tiff.Has(ifd + 2 + 12 * k, 12); ++k) {
        const size_t entry = ifd + 2 + 12 * k;
        if (tiff.U16(entry) != tag) continue;
        const uint32_t type = tiff.U16(entry + 2);
        return type == 3 ? tiff.U16(entry + 8) : type == 4 ? tiff.U32(entry + 8) : missing;
    }
    return missing;
}

}  // namespace

bool JpegDimensions(std::string_view bytes, int* width, int* height) {
    if (bytes.size() < 4 || bytes.substr(0, 2) != "\xFF\xD8") return false;
    for (size_t at = 2; at + 9 <= bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) return false;
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
        // A start of frame: SOF0 to SOF15, but for DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            *height = (byte(5) << 8) | byte(6);
            *width = (byte(7) << 8) | byte(8);
            return true;
        }
        if (marker == 0xDA) return false;
        at += 2 + ((byte(2) << 8) | byte(3));
    }
    return false;
}

JpegFacts ReadJpegFacts(std::string_view bytes) {
    JpegFacts facts;
    if (bytes.size() < 4 || bytes.substr(0, 2) != "\xFF\xD8") return facts;
    facts.jpeg = true;
    // The segments before the picture data; EXIF is an APP1 segment among the first.
    for (size_t at = 2; at + 4 <= bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) break;
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        const size_t length = (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                              static_cast<unsigned char>(bytes[at + 3]);
        if (marker == 0xDA || length < 2) break;  // the picture data begins
        const size_t body = at + 4, size = length - 2;
        if (marker == 0xE1 && size >= 14 && body + size <= bytes.size() &&
            bytes.substr(body, 6) == std::string_view("Exif\0\0", 6)) {
            const size_t tiffStart = body + 6;
            const Tiff tiff(bytes.substr(tiffStart, size - 6));
            if (!tiff.valid()) return facts;
            const uint32_t ifd0 = tiff.U32(4);
            const uint32_t orientation = EntryValue(tiff, ifd0, kOrientation, 1);
            facts.orientation =
                orientation >= 1 && orientation <= 8 ? static_cast<int>(orientation) : 1;
            const uint32_t count = tiff.U16(ifd0);
            const uint32_t ifd1 =
                tiff.Has(ifd0 + 2 + 12 * count, 4) ? tiff.U32(ifd0 + 2 + 12 * count) : 0;
            if (ifd1 == 0) return facts;
            const uint32_t offset = EntryValue(tiff, ifd1, kThumbnailOffset, 0);
            const uint32_t thumbnail = EntryValue(tiff, ifd1, kThumbnailLength, 0);
            if (offset > 0 && thumbnail > 0 && tiff.Has(offset, thumbnail)) {
                facts.thumbnailOffset = tiffStart + offset;
                facts.thumbnailLength = thumbnail;
            }
            return facts;
        }
        at = body + size;
    }
    return facts;
}

}  // namespace spurlese::overview
