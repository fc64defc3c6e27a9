#include "platform/file_faults.h"

#include <array>
#include <cstddef>
#include <mutex>

namespace spurlese::platform {

namespace {

// A copy's own thread asks too.
std::mutex gLock;
std::array<int, static_cast<size_t>(FileOperation::kCount)> gFailing = {};

}  // namespace

void FailFileOperation(FileOperation operation, int count) {
    const std::lock_guard<std::mutex> hold(gLock);
    gFailing[static_cast<size_t>(operation)] = count;
}

bool FileOperationFails(FileOperation operation) {
    const std::lock_guard<std::mutex> hold(gLock);
    int& failing = gFailing[static_cast<size_t>(operation)];
    if (failing == 0) return false;
    if (failing > 0) --failing;
    return true;
}

void ClearFileFaults() {
    const std::lock_guard<std::mutex> hold(gLock);
    gFailing.fill(0);
}

}  // namespace spurlese::platform
