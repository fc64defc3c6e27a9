#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace spurlese {

namespace headless {

void ResetPlatform() {
    platform::ResetWindowModel();
    platform::ResetFileSystem();
    platform::ResetProcesses();
    platform::ResetEvents();
    platform::ResetText();
}

}  // namespace headless

}  // namespace spurlese
