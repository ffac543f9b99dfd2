#pragma once
// What every web handler reads from the settings store at every request, under its own key of
// HKEY_CURRENT_USER over the same key of HKEY_LOCAL_MACHINE:
//     Email               REG_SZ     sent with every request where the service asks for one
//     SearchCacheMinutes  REG_DWORD  how long a search answer is reused
//     RecordCacheHours    REG_DWORD  how long records and their summaries are reused
//     TimeoutSeconds      REG_DWORD  the longest one request may take
// and the means to read a handler's own values beside them. A missing or unreadable value keeps
// its default.

#include <dbscout/registry.h>

#include <functional>
#include <string>

namespace Dbscout::Web {

struct ServiceSettings
{
    std::string email;
    int searchCacheSeconds = 10 * 60;
    int recordCacheSeconds = 24 * 60 * 60;
    int timeoutSeconds = 30;
};

// One hive's key of a handler's settings, open for reading.
class SettingsKey
{
public:
    explicit SettingsKey(HKEY key) : m_key(key) {}

    // A REG_SZ or REG_EXPAND_SZ value of at most 2 KiB.
    void text(const char* name, std::string& value) const;
    // A REG_DWORD value times scale (60 for minutes), at most a week.
    void number(const char* name, int scale, int& value) const;
    // A base address (text) as requests are built on it: ending in "/", fallback when empty.
    void address(const char* name, std::string& value, const char* fallback) const;

private:
    HKEY m_key;
};

// Reads keyPath of HKEY_LOCAL_MACHINE, then of HKEY_CURRENT_USER, into settings, and gives each
// open key to readOwn for the handler's own values; the user's values win.
void readServiceSettings(const char* keyPath, ServiceSettings& settings,
                         const std::function<void(const SettingsKey&)>& readOwn);

// A handler's Settings (a ServiceSettings) as readServiceSettings reads them.
template <typename Settings>
Settings loadSettings(const char* keyPath, void (*readOwn)(const SettingsKey&, Settings&))
{
    Settings settings;
    readServiceSettings(keyPath, settings,
                        [&settings, readOwn](const SettingsKey& key) { readOwn(key, settings); });
    return settings;
}

} // namespace Dbscout::Web
