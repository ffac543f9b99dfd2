#include "service_settings.h"

#include <cstdlib>

namespace Dbscout::Ncbi {

ServiceSettings loadServiceSettings()
{
    ServiceSettings settings = Web::loadSettings<ServiceSettings>(
        kSettingsKey, [](const Web::SettingsKey& key, ServiceSettings& own) {
            key.address("BaseAddress", own.baseAddress, kDefaultBaseAddress);
            key.text("ApiKey", own.apiKey);
        });
    if (const char* key = std::getenv("NCBI_API_KEY"); key && *key)
        settings.apiKey = key;
    return settings;
}

} // namespace Dbscout::Ncbi
