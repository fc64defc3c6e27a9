// Copying a file on a thread of its own: the window goes on while a slow stick takes its time.
// The program waits for a copy in short steps and handles its messages in between.
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "platform/file_faults.h"
#include "platform/win32/win32_internal.h"

namespace spurlese {

namespace platform {

using namespace win32;

namespace {

// Pieces as cp takes them: a piece that stays in the processor's cache is copied much faster
// than one of some megabytes, which goes through memory twice (4.6 s against 3.0 s for the
// benchmark's 1.1 GB).
constexpr DWORD kPieceBytes = 128 << 10;
// The written bytes are flushed to the disk every so often, not only at the end: the progress
// then tells what is on the disk, and no single flush takes long (under Wine, a flush holds
// every thread of the program until the disk is done). A helper thread flushes what is written
// while the copy writes on, so the disk and the copy work at the same time.
constexpr int64_t kFlushEveryBytes = 32 << 20;

struct Copy {
    std::u16string source, target;  // native forms
    std::atomic<int64_t> copied{0};
    std::atomic<bool> cancelled{false};
    // Set by the copy's thread once the bytes are written, before the last flush: the caller
    // starts the next file then, and is woken for it once.
    OwnedHandle bytesWritten;
    bool writtenTold = false;  // the caller's side only
    // Written by the copy's thread before it ends; read once the thread has ended.
    CopyOutcome outcome;
    OwnedHandle thread;
};

std::map<CopyHandle, std::unique_ptr<Copy>> gCopies;
intptr_t gNextCopy = 1;

bool Fail(Copy* copy, DWORD code) {
    copy->outcome.error = ErrorOf(code);
    return false;
}

// An injected fault, as Windows would report it.
bool Injected(FileOperation operation, DWORD code, Copy* copy) {
    return FileOperationFails(operation) && !Fail(copy, code);
}

DWORD WINAPI FlushInBackground(void* file) {
    if (FileOperationFails(FileOperation::kFlush)) return ERROR_GEN_FAILURE;
    return FlushFileBuffers(static_cast<HANDLE>(file)) ? ERROR_SUCCESS : GetLastError();
}

// Waits for the flush under way, if any, and gives its error (ERROR_SUCCESS when it worked).
DWORD FinishFlush(OwnedHandle* flush) {
    if (!*flush) return ERROR_SUCCESS;
    DWORD code = ERROR_SUCCESS;
    WaitForSingleObject(flush->Get(), INFINITE);
    if (!GetExitCodeThread(flush->Get(), &code)) code = GetLastError();
    *flush = OwnedHandle();
    return code;
}

bool CopyBytes(Copy* copy) {
    const OwnedHandle source(CreateFileW(W(copy->source), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source) return Fail(copy, GetLastError());
    FILETIME created = {}, written = {};
    if (!GetFileTime(source.Get(), &created, nullptr, &written)) return Fail(copy, GetLastError());
    if (Injected(FileOperation::kCreate, ERROR_GEN_FAILURE, copy)) return false;
    // Not shared: nobody reads the copy before it is whole.
    OwnedHandle target(CreateFileW(W(copy->target), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!target) return Fail(copy, GetLastError());
    std::vector<char> buffer(kPieceBytes);
    int64_t unflushed = 0;
    OwnedHandle flush;  // the helper thread of the flush under way
    // The flush under way ends before the file is closed, however the copy ends.
    const auto wrote = [&]() -> bool {
        for (;;) {
            if (copy->cancelled) return Fail(copy, ERROR_OPERATION_ABORTED);
            DWORD got = 0;
            if (!ReadFile(source.Get(), buffer.data(), kPieceBytes, &got, nullptr))
                return Fail(copy, GetLastError());
            if (got == 0) return true;
            if (Injected(FileOperation::kWrite, ERROR_GEN_FAILURE, copy) ||
                Injected(FileOperation::kDiskFull, ERROR_DISK_FULL, copy)) {
                return false;
            }
            DWORD put = 0;
            if (!WriteFile(target.Get(), buffer.data(), got, &put, nullptr))
                return Fail(copy, GetLastError());
            if (put != got) return Fail(copy, ERROR_DISK_FULL);  // a short write: no room left
            unflushed += got;
            if (unflushed >= kFlushEveryBytes) {
                // At most one flush at a time: the bytes not yet on the disk stay few.
                if (const DWORD code = FinishFlush(&flush)) return Fail(copy, code);
                flush = OwnedHandle(
                    CreateThread(nullptr, 0, FlushInBackground, target.Get(), 0, nullptr));
                if (!flush && !FlushFileBuffers(target.Get())) return Fail(copy, GetLastError());
                unflushed = 0;
            }
            copy->copied += got;
        }
    }();
    SetEvent(copy->bytesWritten.Get());
    const DWORD flushed = FinishFlush(&flush);
    if (!wrote) return false;
    if (flushed != ERROR_SUCCESS) return Fail(copy, flushed);
    // The times last: a write afterwards would change them again.
    if (!SetFileTime(target.Get(), &created, nullptr, &written)) return Fail(copy, GetLastError());
    if (Injected(FileOperation::kFlush, ERROR_GEN_FAILURE, copy)) return false;
    if (!FlushFileBuffers(target.Get())) return Fail(copy, GetLastError());
    if (!CloseHandle(target.Take())) return Fail(copy, GetLastError());
    return true;
}

DWORD WINAPI RunCopy(void* parameter) {
    Copy* copy = static_cast<Copy*>(parameter);
    copy->outcome.done = CopyBytes(copy);
    copy->outcome.bytes = copy->copied;
    return 0;
}

}  // namespace

namespace win32 {

void StopCopies() {
    for (auto& [handle, copy] : gCopies) WaitForSingleObject(copy->thread.Get(), INFINITE);
    gCopies.clear();
}

}  // namespace win32

CopyHandle StartFileCopy(std::u16string_view source, std::u16string_view target) {
    auto copy = std::make_unique<Copy>();
    copy->source = NativePath(source);
    copy->target = NativePath(target);
    copy->bytesWritten = OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!copy->bytesWritten) return CopyHandle::kNone;
    copy->thread = OwnedHandle(CreateThread(nullptr, 0, RunCopy, copy.get(), 0, nullptr));
    if (!copy->thread) return CopyHandle::kNone;
    const CopyHandle handle{gNextCopy++};
    gCopies[handle] = std::move(copy);
    return handle;
}

bool WaitFileCopy(CopyHandle handle, int milliseconds, int64_t* copied) {
    const auto found = gCopies.find(handle);
    if (found == gCopies.end()) return true;
    Copy& copy = *found->second;
    // A message for the window ends the wait early, so that the window answers at once.
    const HANDLE waits[] = {copy.thread.Get(), copy.bytesWritten.Get()};
    const DWORD woke = MsgWaitForMultipleObjects(copy.writtenTold ? 1 : 2, waits, FALSE,
                                                 static_cast<DWORD>(milliseconds), QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0 + 1) copy.writtenTold = true;
    const bool ended = woke == WAIT_OBJECT_0;
    *copied = copy.copied;
    return ended;
}

void CancelFileCopy(CopyHandle handle) {
    const auto found = gCopies.find(handle);
    if (found != gCopies.end()) found->second->cancelled = true;
}

CopyOutcome FinishFileCopy(CopyHandle handle) {
    const auto found = gCopies.find(handle);
    if (found == gCopies.end()) return {};
    WaitForSingleObject(found->second->thread.Get(), INFINITE);
    const CopyOutcome outcome = found->second->outcome;
    gCopies.erase(found);
    return outcome;
}

}  // namespace platform

}  // namespace spurlese
