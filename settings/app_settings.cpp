#include "settings/app_settings.h"

AppSettings appSettings;

void ResetAppSettings() {
    appSettings = AppSettings{};
}
