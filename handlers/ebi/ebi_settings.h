#pragma once
// How the handler reaches EBI's services, read from the settings store at every request:
//   HKEY_CURRENT_USER\Software\Dbscout\EBI (over the same key of HKEY_LOCAL_MACHINE)
//     UniProtAddress     REG_SZ     UniProt's REST address (tests point it at a stand-in)
//     EnaAddress         REG_SZ     ENA's address, under which portal/api and browser/api lie
//     RequestsPerSecond  REG_DWORD  the most requests a second to either service
// beside every web handler's Email, SearchCacheMinutes, RecordCacheHours and TimeoutSeconds
// (web_settings.h of the web handlers' library). A missing or unreadable value keeps its
// default.

#include "ebi_source.h"
#include "web_client.h"

#include <string>

namespace Dbscout::Ebi {

inline constexpr const char* kSettingsKey = "Software\\Dbscout\\EBI";
inline constexpr const char* kDefaultUniProtAddress = "https://rest.uniprot.org/";
inline constexpr const char* kDefaultEnaAddress = "https://www.ebi.ac.uk/ena/";
// ENA allows 50 requests a second (ENA's portal API documentation); UniProt names no number and
// asks to be used with restraint, so the handler stays well below ENA's.
inline constexpr int kUniProtRequestsPerSecond = 10;
inline constexpr int kEnaRequestsPerSecond = 50;

struct EbiSettings : Web::ServiceSettings
{
    std::string uniprotAddress = kDefaultUniProtAddress; // always ends in "/"
    std::string enaAddress = kDefaultEnaAddress;         // always ends in "/"
    int requestsPerSecond = 0;                           // 0: each service's own
};

EbiSettings loadEbiSettings();

// The service of source as the web client asks it: its address, rate limit, the JSON words of
// its refusals, the headers its answers mean something by, and the e-mail address UniProt asks
// to find in the User-Agent.
Web::Service ebiService(const EbiSettings& settings, const SourceInfo& source);

} // namespace Dbscout::Ebi
