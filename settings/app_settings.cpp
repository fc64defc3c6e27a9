#include "settings/app_settings.h"

namespace spurlese {

AppSettings appSettings;

void ResetAppSettings() {
    appSettings = AppSettings{};
}

}  // namespace spurlese
