#pragma once
// How the handler reaches NCBI, read from the settings store at every request:
//   HKEY_CURRENT_USER\Software\Dbscout\NCBI (over the same key of HKEY_LOCAL_MACHINE)
//     BaseAddress         REG_SZ     E-utilities' address (tests point it at a stand-in)
//     ApiKey              REG_SZ     the user's NCBI API key (NCBI_API_KEY overrides it)
// beside every web handler's Email, SearchCacheMinutes, RecordCacheHours and TimeoutSeconds
// (web_settings.h of the web handlers' library). A missing or unreadable value keeps its
// default.

#include "web_client.h"

#include <string>

namespace Dbscout::Ncbi {

inline constexpr const char* kSettingsKey = "Software\\Dbscout\\NCBI";
inline constexpr const char* kDefaultBaseAddress = "https://eutils.ncbi.nlm.nih.gov/entrez/eutils/";

struct ServiceSettings : Web::ServiceSettings
{
    std::string baseAddress = kDefaultBaseAddress; // always ends in "/"
    std::string apiKey;
};

ServiceSettings loadServiceSettings();

} // namespace Dbscout::Ncbi
