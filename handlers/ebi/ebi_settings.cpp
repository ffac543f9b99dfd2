#include "ebi_settings.h"

#include "ebi_answers.h"

#include <algorithm>

namespace Dbscout::Ebi {

EbiSettings loadEbiSettings()
{
    return Web::loadSettings<EbiSettings>(
        kSettingsKey, [](const Web::SettingsKey& key, EbiSettings& settings) {
            key.address("UniProtAddress", settings.uniprotAddress, kDefaultUniProtAddress);
            key.address("EnaAddress", settings.enaAddress, kDefaultEnaAddress);
            key.number("RequestsPerSecond", 1, settings.requestsPerSecond);
        });
}

Web::Service ebiService(const EbiSettings& settings, const SourceInfo& source)
{
    const bool uniprot = source.source == Source::UniProtKB;
    Web::Service service;
    service.name = std::string(source.sourceName);
    service.address = uniprot ? settings.uniprotAddress : settings.enaAddress;
    service.addressName = uniprot ? "the UniProt address" : "the ENA address";
    service.addressValue = uniprot ? "UniProtAddress" : "EnaAddress";
    service.limitAdvice = "fewer requests a second (RequestsPerSecond in the settings) keep within "
                          "the service's limit.";
    service.files = uniprot ? "uniprot" : "ena";
    const int own = uniprot ? kUniProtRequestsPerSecond : kEnaRequestsPerSecond;
    service.requestsPerSecond =
        settings.requestsPerSecond > 0 ? std::min(settings.requestsPerSecond, own) : own;
    service.settings = settings;
    service.userAgent = "dbscout-ebi-handler/1" +
                        (settings.email.empty() ? std::string() : " (" + settings.email + ")");
    service.request = [address = service.address](std::string_view query) {
        Web::HttpRequest request;
        request.address = address + std::string(query);
        return request;
    };
    service.words = [](std::string_view body) { return errorWords(body); };
    if (uniprot)
        service.keptHeaders = {"X-Total-Results", "Link"};
    service.missingIsNotFound = true;
    return service;
}

} // namespace Dbscout::Ebi
