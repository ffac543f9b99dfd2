#include "web_settings.h"

#include <vector>

namespace Dbscout::Web {
namespace {

constexpr DWORD kMaxTextBytes = 2048;

std::string baseAddress(std::string address, const char* fallback)
{
    if (address.empty())
        address = fallback;
    if (address.back() != '/')
        address += '/';
    return address;
}

} // namespace

void SettingsKey::text(const char* name, std::string& value) const
{
    std::vector<char> buffer(kMaxTextBytes + 1, '\0');
    DWORD type = 0;
    DWORD size = kMaxTextBytes;
    if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    value.assign(buffer.data(), size);
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
}

void SettingsKey::number(const char* name, int scale, int& value) const
{
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return;
    // A week is the most any cache time or time-out may be.
    constexpr long long kMost = 7LL * 24 * 60 * 60;
    const long long scaled = static_cast<long long>(number) * scale;
    value = static_cast<int>(scaled > kMost ? kMost : scaled);
}

void SettingsKey::address(const char* name, std::string& value, const char* fallback) const
{
    // Each hive's value is made whole as it is read: a later hive without one keeps it so.
    text(name, value);
    value = baseAddress(std::move(value), fallback);
}

void readServiceSettings(const char* keyPath, ServiceSettings& settings,
                         const std::function<void(const SettingsKey&)>& readOwn)
{
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        RegKey key;
        if (key.open(hive, keyPath, KEY_READ) != ERROR_SUCCESS)
            continue;
        const SettingsKey values(key.get());
        values.text("Email", settings.email);
        values.number("SearchCacheMinutes", 60, settings.searchCacheSeconds);
        values.number("RecordCacheHours", 60 * 60, settings.recordCacheSeconds);
        values.number("TimeoutSeconds", 1, settings.timeoutSeconds);
        readOwn(values);
    }
    if (settings.timeoutSeconds < 1)
        settings.timeoutSeconds = 1;
}

} // namespace Dbscout::Web
