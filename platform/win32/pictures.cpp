// Thumbnails with Windows' own imaging codecs (WIC) and the shell's thumbnail provider, and the
// worker threads that make them while the window goes on.
#include <shlobj.h>
#include <shobjidl.h>
#include <wincodec.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "platform/win32/win32_internal.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// The pixels (24 bits each, rows without padding) turned upright by the EXIF orientation: WIC's
// flip-rotator is not used, as Wine's turns no quarter.
std::string Upright(const std::string& pixels, UINT width, UINT height, int orientation,
                    UINT* turnedWidth, UINT* turnedHeight) {
    const bool across = orientation >= 5 && orientation <= 8;
    const UINT w = across ? height : width, h = across ? width : height;
    std::string turned(pixels.size(), '\0');
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x) {
            UINT sx = x, sy = y;  // the source pixel of (x, y)
            switch (orientation) {
                case 2:
                    sx = width - 1 - x;
                    break;
                case 3:
                    sx = width - 1 - x;
                    sy = height - 1 - y;
                    break;
                case 4:
                    sy = height - 1 - y;
                    break;
                case 5:
                    sx = y;
                    sy = x;
                    break;
                case 6:
                    sx = y;
                    sy = height - 1 - x;
                    break;
                case 7:
                    sx = width - 1 - y;
                    sy = height - 1 - x;
                    break;
                case 8:
                    sx = width - 1 - y;
                    sy = x;
                    break;
                default:
                    break;
            }
            turned.replace((static_cast<size_t>(y) * w + x) * 3, 3, pixels,
                           (static_cast<size_t>(sy) * width + sx) * 3, 3);
        }
    }
    *turnedWidth = w;
    *turnedHeight = h;
    return turned;
}

// The picture, decoded: from the bytes given, or from the file.
ComPtr<IWICBitmapSource> Decode(IWICImagingFactory* factory, const ThumbnailRequest& request,
                                ComPtr<IWICStream>* memory) {
    ComPtr<IWICBitmapDecoder> decoder;
    IWICBitmapDecoder* made = nullptr;
    if (!request.encoded.empty()) {
        IWICStream* stream = nullptr;
        if (FAILED(factory->CreateStream(&stream))) return {};
        *memory = ComPtr<IWICStream>(stream);
        if (FAILED(stream->InitializeFromMemory(
                reinterpret_cast<BYTE*>(const_cast<char*>(request.encoded.data())),
                static_cast<DWORD>(request.encoded.size()))) ||
            FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand,
                                                    &made)))
            return {};
    } else if (FAILED(factory->CreateDecoderFromFilename(W(NativePath(request.source)), nullptr,
                                                         GENERIC_READ,
                                                         WICDecodeMetadataCacheOnDemand, &made))) {
        return {};
    }
    decoder = ComPtr<IWICBitmapDecoder>(made);
    IWICBitmapFrameDecode* frame = nullptr;
    if (FAILED(decoder.Get()->GetFrame(0, &frame))) return {};
    return ComPtr<IWICBitmapSource>(frame);
}

// A frame of a video, or whatever picture the shell has of the file.
ComPtr<IWICBitmapSource> ShellPicture(IWICImagingFactory* factory,
                                      const ThumbnailRequest& request) {
    IShellItemImageFactory* images = nullptr;
    if (FAILED(SHCreateItemFromParsingName(W(NativePath(request.source)), nullptr,
                                           IID_PPV_ARGS(&images))))
        return {};
    const ComPtr<IShellItemImageFactory> owned(images);
    HBITMAP bitmap = nullptr;
    if (FAILED(images->GetImage({request.maxSide, request.maxSide}, SIIGBF_THUMBNAILONLY, &bitmap)))
        return {};
    const OwnedGdiObject ownedBitmap(bitmap);
    IWICBitmap* picture = nullptr;
    if (FAILED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, &picture)))
        return {};
    ComPtr<IWICBitmapSource> frame(picture);
    // A provider that has no frame may still hand out a dot (Wine's does): no picture, then.
    UINT width = 0, height = 0;
    if (FAILED(frame.Get()->GetSize(&width, &height)) || (width < 16 && height < 16)) return {};
    return frame;
}

bool Encode(IWICImagingFactory* factory, IWICBitmapSource* source, std::u16string_view target) {
    IWICStream* stream = nullptr;
    if (FAILED(factory->CreateStream(&stream))) return false;
    const ComPtr<IWICStream> ownedStream(stream);
    if (FAILED(stream->InitializeFromFilename(W(NativePath(target)), GENERIC_WRITE))) return false;
    IWICBitmapEncoder* encoder = nullptr;
    if (FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder))) return false;
    const ComPtr<IWICBitmapEncoder> ownedEncoder(encoder);
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    if (FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &options)))
        return false;
    const ComPtr<IWICBitmapFrameEncode> ownedFrame(frame);
    const ComPtr<IPropertyBag2> ownedOptions(options);
    UINT width = 0, height = 0;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(source->GetSize(&width, &height)) &&
           SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
           IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
           SUCCEEDED(frame->WriteSource(source, nullptr)) && SUCCEEDED(frame->Commit()) &&
           SUCCEEDED(encoder->Commit());
}

}  // namespace

ThumbnailOutcome WriteThumbnail(const ThumbnailRequest& request, std::u16string_view target) {
    if (request.asIs) {
        // Not flushed one by one: the thumbnails' folder is put in place whole, afterwards.
        const OwnedHandle file(CreateFileW(W(NativePath(target)), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        const bool ok = static_cast<bool>(file) &&
                        WriteFile(file.Get(), request.encoded.data(),
                                  static_cast<DWORD>(request.encoded.size()), &written, nullptr) &&
                        written == request.encoded.size();
        return ok ? ThumbnailOutcome::kMade : ThumbnailOutcome::kFailed;
    }
    const ComScope com;
    IWICImagingFactory* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&made))))
        return ThumbnailOutcome::kNoPicture;
    const ComPtr<IWICImagingFactory> factory(made);
    ComPtr<IWICStream> memory;  // the encoded bytes' stream, while the decoder reads it
    ComPtr<IWICBitmapSource> picture = request.video ? ShellPicture(factory.Get(), request)
                                                     : Decode(factory.Get(), request, &memory);
    if (!picture) return ThumbnailOutcome::kNoPicture;
    UINT width = 0, height = 0;
    if (FAILED(picture.Get()->GetSize(&width, &height)) || width == 0 || height == 0)
        return ThumbnailOutcome::kNoPicture;
    // Scaled first, then turned: the turn is made on the small picture.
    const double scale =
        std::min(1.0, static_cast<double>(request.maxSide) / std::max(width, height));
    IWICBitmapScaler* scaler = nullptr;
    if (FAILED(factory.Get()->CreateBitmapScaler(&scaler))) return ThumbnailOutcome::kFailed;
    const ComPtr<IWICBitmapScaler> ownedScaler(scaler);
    if (FAILED(scaler->Initialize(picture.Get(), std::max(1u, static_cast<UINT>(width * scale)),
                                  std::max(1u, static_cast<UINT>(height * scale)),
                                  WICBitmapInterpolationModeFant)))
        return ThumbnailOutcome::kNoPicture;
    IWICFormatConverter* converter = nullptr;
    if (FAILED(factory.Get()->CreateFormatConverter(&converter))) return ThumbnailOutcome::kFailed;
    const ComPtr<IWICFormatConverter> ownedConverter(converter);
    UINT smallWidth = 0, smallHeight = 0;
    if (FAILED(converter->Initialize(scaler, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&smallWidth, &smallHeight)))
        return ThumbnailOutcome::kNoPicture;
    // The small picture's pixels (256 x 256 at most), turned here.
    std::string pixels(static_cast<size_t>(smallWidth) * smallHeight * 3, '\0');
    if (FAILED(converter->CopyPixels(nullptr, smallWidth * 3, static_cast<UINT>(pixels.size()),
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        return ThumbnailOutcome::kNoPicture;
    UINT width2 = 0, height2 = 0;
    std::string upright =
        Upright(pixels, smallWidth, smallHeight, request.orientation, &width2, &height2);
    IWICBitmap* turned = nullptr;
    if (FAILED(factory.Get()->CreateBitmapFromMemory(
            width2, height2, GUID_WICPixelFormat24bppBGR, width2 * 3,
            static_cast<UINT>(upright.size()), reinterpret_cast<BYTE*>(upright.data()), &turned)))
        return ThumbnailOutcome::kFailed;
    const ComPtr<IWICBitmap> ownedTurned(turned);
    if (!Encode(factory.Get(), turned, target)) {
        DeleteFileW(W(NativePath(target)));
        return ThumbnailOutcome::kFailed;
    }
    return ThumbnailOutcome::kMade;
}

namespace {

// Jobs taken one after the other by the work's threads.
struct Work {
    std::function<void(size_t)> job;
    size_t count = 0;
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::atomic<bool> cancelled{false};
    OwnedHandle progressed{CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // a job ended
    std::vector<OwnedHandle> threads;
};

std::map<WorkHandle, std::unique_ptr<Work>> gWorks;
intptr_t gNextWork = 1;

DWORD WINAPI RunJobs(void* parameter) {
    Work* work = static_cast<Work*>(parameter);
    const ComScope com;  // the codecs are COM objects
    for (;;) {
        const size_t job = work->next++;
        if (job >= work->count || work->cancelled) break;
        work->job(job);
        ++work->done;
        SetEvent(work->progressed.Get());
    }
    return 0;
}

}  // namespace

WorkHandle StartWork(size_t count, int threads, std::function<void(size_t job)> job) {
    auto work = std::make_unique<Work>();
    work->job = std::move(job);
    work->count = count;
    if (!work->progressed) return WorkHandle::kNone;
    for (int t = 0; t < std::max(1, threads) && static_cast<size_t>(t) < std::max<size_t>(count, 1);
         ++t) {
        OwnedHandle thread(CreateThread(nullptr, 0, RunJobs, work.get(), 0, nullptr));
        if (thread) work->threads.push_back(std::move(thread));
    }
    if (work->threads.empty()) return WorkHandle::kNone;
    const WorkHandle handle{gNextWork++};
    gWorks[handle] = std::move(work);
    return handle;
}

bool WaitWork(WorkHandle handle, int milliseconds, size_t* done) {
    const auto found = gWorks.find(handle);
    if (found == gWorks.end()) return true;
    Work& work = *found->second;
    if (work.done < work.count) {
        const HANDLE progressed = work.progressed.Get();
        MsgWaitForMultipleObjects(1, &progressed, FALSE, static_cast<DWORD>(milliseconds),
                                  QS_ALLINPUT);
    }
    *done = work.done;
    return work.done >= work.count;
}

void FinishWork(WorkHandle handle, bool cancel) {
    const auto found = gWorks.find(handle);
    if (found == gWorks.end()) return;
    Work& work = *found->second;
    if (cancel) work.cancelled = true;
    for (const OwnedHandle& thread : work.threads) WaitForSingleObject(thread.Get(), INFINITE);
    gWorks.erase(found);
}

int64_t CurrentTime() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return static_cast<int64_t>(ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart);
}

}  // namespace platform

}  // namespace spurlese
