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

// Big pieces: a few system calls per file, as a copy tool makes them.
constexpr DWORD kPieceBytes = 4 << 20;
// The written bytes are flushed to the disk every so often, not only at the end: the progress
// then tells what is on the disk, and no single flush takes long (under Wine, a flush holds
// every thread of the program until the disk is done).
constexpr int64_t kFlushEveryBytes = 32 << 20;

struct Copy {
    std::u16string source, target;  // native forms
    std::atomic<int64_t> copied{0};
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
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(source.Get(), buffer.data(), kPieceBytes, &got, nullptr))
            return Fail(copy, GetLastError());
        if (got == 0) break;
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
            if (!FlushFileBuffers(target.Get())) return Fail(copy, GetLastError());
            unflushed = 0;
        }
        copy->copied += got;
    }
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
    HANDLE thread = copy.thread.Get();
    const bool ended =
        MsgWaitForMultipleObjects(1, &thread, FALSE, static_cast<DWORD>(milliseconds),
                                  QS_ALLINPUT) == WAIT_OBJECT_0;
    *copied = copy.copied;
    return ended;
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
