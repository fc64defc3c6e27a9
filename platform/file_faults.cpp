#include "platform/file_faults.h"

#include <array>
#include <cstddef>

namespace spurlese::platform {

namespace {

std::array<int, static_cast<size_t>(FileOperation::kCount)> gFailing = {};

}  // namespace

void FailFileOperation(FileOperation operation, int count) {
    gFailing[static_cast<size_t>(operation)] = count;
}

bool FileOperationFails(FileOperation operation) {
    int& failing = gFailing[static_cast<size_t>(operation)];
    if (failing == 0) return false;
    if (failing > 0) --failing;
    return true;
}

void ClearFileFaults() {
    gFailing.fill(0);
}

}  // namespace spurlese::platform
