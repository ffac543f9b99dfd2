#include "service_settings.h"

#include <cstdlib>

namespace Dbscout::Ncbi {

ServiceSettings loadServiceSettings()
{
    ServiceSettings settings;
    Web::readServiceSettings(kSettingsKey, settings, [&settings](const Web::SettingsKey& key) {
        key.text("BaseAddress", settings.baseAddress);
        key.text("ApiKey", settings.apiKey);
    });
    if (const char* key = std::getenv("NCBI_API_KEY"); key && *key)
        settings.apiKey = key;
    settings.baseAddress = Web::baseAddress(settings.baseAddress, kDefaultBaseAddress);
    return settings;
}

} // namespace Dbscout::Ncbi
