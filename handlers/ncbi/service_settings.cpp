#include "service_settings.h"

#include <dbscout/registry.h>

#include <cstdlib>
#include <vector>

namespace Dbscout::Ncbi {
namespace {

constexpr DWORD kMaxTextBytes = 2048;

void readText(HKEY key, const char* name, std::string& value)
{
    std::vector<char> buffer(kMaxTextBytes + 1, '\0');
    DWORD type = 0;
    DWORD size = kMaxTextBytes;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    value.assign(buffer.data(), size);
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
}

void readNumber(HKEY key, const char* name, int scale, int& value)
{
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return;
    // A week is the most any cache time or time-out may be.
    constexpr long long kMost = 7LL * 24 * 60 * 60;
    const long long scaled = static_cast<long long>(number) * scale;
    value = static_cast<int>(scaled > kMost ? kMost : scaled);
}

void readFrom(HKEY hive, ServiceSettings& settings)
{
    RegKey key;
    if (key.open(hive, kSettingsKey, KEY_READ) != ERROR_SUCCESS)
        return;
    readText(key.get(), "BaseAddress", settings.baseAddress);
    readText(key.get(), "ApiKey", settings.apiKey);
    readText(key.get(), "Email", settings.email);
    readNumber(key.get(), "SearchCacheMinutes", 60, settings.searchCacheSeconds);
    readNumber(key.get(), "RecordCacheHours", 60 * 60, settings.recordCacheSeconds);
    readNumber(key.get(), "TimeoutSeconds", 1, settings.timeoutSeconds);
}

} // namespace

ServiceSettings loadServiceSettings()
{
    ServiceSettings settings;
    readFrom(HKEY_LOCAL_MACHINE, settings);
    readFrom(HKEY_CURRENT_USER, settings);
    if (const char* key = std::getenv("NCBI_API_KEY"); key && *key)
        settings.apiKey = key;
    if (settings.baseAddress.empty())
        settings.baseAddress = kDefaultBaseAddress;
    if (settings.baseAddress.back() != '/')
        settings.baseAddress += '/';
    if (settings.timeoutSeconds < 1)
        settings.timeoutSeconds = 1;
    return settings;
}

} // namespace Dbscout::Ncbi
