// The Win32 file layer where only Windows can show it: the form in which a path goes to Windows
// (the "\\?\" form only for long drive and UNC paths, made whole first, since Windows takes that
// form literally), and what a replaced file keeps.
#include <windows.h>

#include <gtest/gtest.h>
#include <wincodec.h>

#include <string>

#include "platform/file_replace.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"
#include "platform/win32/long_path.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace {

TEST(LongPathTest, FormHandedToWindows) {
    const std::wstring name(120, L'n');  // three of them make any path long
    const std::wstring tail = name + L"\\" + name + L"\\" + name + L".jpg";
    const struct Row {
        std::wstring path;
        std::wstring expected;
    } rows[] = {
        {L"D:\\Archiv\\kurz.jpg", L"D:\\Archiv\\kurz.jpg"},
        {L"D:\\" + std::wstring(256, L'x'), L"D:\\" + std::wstring(256, L'x')},  // 259: no change
        {L"D:\\" + tail, L"\\\\?\\D:\\" + tail},
        {L"d:/Archiv//" + name + L"/./" + name + L"/" + name + L"/../" + name + L".jpg",
         L"\\\\?\\d:\\Archiv\\" + name + L"\\" + name + L"\\" + name + L".jpg"},
        {L"\\\\server\\share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail},
        {L"\\\\?\\D:\\" + tail, L"\\\\?\\D:\\" + tail},
        {L"Archiv\\" + tail, L"Archiv\\" + tail},  // relative paths stay as they are
        {L"D:" + tail, L"D:" + tail},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(row.expected == longpath::LongPathForm(row.path))
            << row.path.size()
            << " characters: " << std::string(row.path.begin(), row.path.begin() + 20);
    }
}

// Saving over an existing file keeps what the user gave it, such as the hidden attribute.
TEST(ReplaceTest, ReplacedFileKeepsItsAttributes) {
    testsupport::ResetForTest();
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Work\\hits.txt", "old", true));
    EXPECT_EQ(WriteOutcome::kWritten, WriteFileReplacing(u"D:\\Work\\hits.txt", "new").outcome);
    const DWORD attributes = GetFileAttributesW(L"D:\\Work\\hits.txt");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
}

// Writes a picture of this size as a JPEG through WIC; gives the size of one read back (0 x 0 when
// it cannot be read).
struct Size {
    UINT width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

IWICImagingFactory* Factory() {
    static IWICImagingFactory* factory = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IWICImagingFactory* made = nullptr;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&made));
        return made;
    }();
    return factory;
}

bool WriteJpeg(const std::wstring& path, UINT width, UINT height) {
    // The left half black, the right half white: a turn shows where the black goes.
    std::string pixels(width * height * 3, '\xFF');
    for (UINT y = 0; y < height; ++y)
        pixels.replace(y * width * 3, width / 2 * 3, width / 2 * 3, '\0');
    IWICBitmap* bitmap = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool ok =
        SUCCEEDED(Factory()->CreateBitmapFromMemory(
            width, height, GUID_WICPixelFormat24bppBGR, width * 3, static_cast<UINT>(pixels.size()),
            reinterpret_cast<BYTE*>(pixels.data()), &bitmap)) &&
        SUCCEEDED(Factory()->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(Factory()->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) &&
        SUCCEEDED(frame->WriteSource(bitmap, nullptr)) && SUCCEEDED(frame->Commit()) &&
        SUCCEEDED(encoder->Commit());
    for (IUnknown* object : {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder),
                             static_cast<IUnknown*>(stream), static_cast<IUnknown*>(bitmap)})
        if (object) object->Release();
    return ok;
}

// The size of a JPEG, and whether its top left corner is dark.
Size JpegSize(const std::wstring& path, bool* darkCorner) {
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    Size size;
    BYTE corner[3] = {};
    const WICRect pixel = {2, 2, 1, 1};
    if (SUCCEEDED(Factory()->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                       WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame))) {
        frame->GetSize(&size.width, &size.height);
        frame->CopyPixels(&pixel, 3, 3, corner);
    }
    *darkCorner = size.width > 0 && corner[0] < 64;
    if (frame) frame->Release();
    if (decoder) decoder->Release();
    return size;
}

// Windows' own codecs: the picture scaled to at most the long side asked, turned upright by its
// EXIF orientation; a file that is no picture gives none.
TEST(ThumbnailTest, ScaledAndTurnedByWindowsCodecs) {
    testsupport::ResetForTest();
    ASSERT_TRUE(testsupport::MakeTestFolder(u"D:\\Bilder"));
    ASSERT_TRUE(WriteJpeg(L"D:\\Bilder\\quer.jpg", 400, 200));
    ASSERT_TRUE(testsupport::MakeTestFile(u"D:\\Bilder\\kein Bild.jpg", "no picture"));
    const struct Row {
        const char* name;
        const char16_t* source;
        int orientation;
        int maxSide;
        platform::ThumbnailOutcome outcome;
        Size size;
        bool darkCorner;  // the picture's left, black half is at its top left
    } rows[] = {
        {"upright",
         u"D:\\Bilder\\quer.jpg",
         1,
         256,
         platform::ThumbnailOutcome::kMade,
         {256, 128},
         true},
        {"a quarter turn",
         u"D:\\Bilder\\quer.jpg",
         6,
         256,
         platform::ThumbnailOutcome::kMade,
         {128, 256},
         true},
        {"half round",
         u"D:\\Bilder\\quer.jpg",
         3,
         100,
         platform::ThumbnailOutcome::kMade,
         {100, 50},
         false},
        {"never larger",
         u"D:\\Bilder\\quer.jpg",
         8,
         1000,
         platform::ThumbnailOutcome::kMade,
         {200, 400},
         false},
        {"no picture",
         u"D:\\Bilder\\kein Bild.jpg",
         1,
         256,
         platform::ThumbnailOutcome::kNoPicture,
         {},
         false},
    };
    int made = 0;
    for (const Row& row : rows) {
        platform::ThumbnailRequest request;
        request.source = row.source;
        request.orientation = row.orientation;
        request.maxSide = row.maxSide;
        const std::u16string target = u"D:\\Bilder\\klein " + Decimal(++made) + u".jpg";
        EXPECT_EQ(row.outcome, platform::WriteThumbnail(request, target)) << row.name;
        bool darkCorner = false;
        EXPECT_TRUE(row.size == JpegSize(std::wstring(target.begin(), target.end()), &darkCorner))
            << row.name;
        EXPECT_EQ(row.darkCorner, darkCorner) << row.name;
    }
}

}  // namespace

}  // namespace spurlese
