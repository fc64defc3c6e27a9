// Shared between the files of the headless platform only.
#pragma once

namespace platform {

void ResetWindowModel();
void ResetFileSystem();
void ResetProcesses();

}  // namespace platform
