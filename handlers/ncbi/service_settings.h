#pragma once
// How the handler reaches NCBI, read from the settings store at every request:
//   HKEY_CURRENT_USER\Software\Dbscout\NCBI (over the same key of HKEY_LOCAL_MACHINE)
//     BaseAddress         REG_SZ     E-utilities' address (tests point it at a stand-in)
//     ApiKey              REG_SZ     the user's NCBI API key (NCBI_API_KEY overrides it)
//     Email               REG_SZ     sent with every request, as NCBI asks
//     SearchCacheMinutes  REG_DWORD  how long a search answer is reused
//     RecordCacheHours    REG_DWORD  how long summaries and records are reused
//     TimeoutSeconds      REG_DWORD  the longest a search or summary may take
// A missing or unreadable value keeps its default.

#include <string>

namespace Dbscout::Ncbi {

inline constexpr const char* kSettingsKey = "Software\\Dbscout\\NCBI";
inline constexpr const char* kDefaultBaseAddress = "https://eutils.ncbi.nlm.nih.gov/entrez/eutils/";

struct ServiceSettings
{
    std::string baseAddress = kDefaultBaseAddress; // always ends in "/"
    std::string apiKey;
    std::string email;
    int searchCacheSeconds = 10 * 60;
    int recordCacheSeconds = 24 * 60 * 60;
    int timeoutSeconds = 30;
};

ServiceSettings loadServiceSettings();

} // namespace Dbscout::Ncbi
