#include "eutils_query.h"

#include "percent_encoding.h"

namespace Dbscout::Ncbi {
namespace {

// What a web address carries unescaped in a parameter's value.
std::string percentEncoded(std::string_view text)
{
    return Handlers::percentEncode(text, "-._~");
}

std::string joinedIds(const std::vector<std::string>& ids)
{
    std::string joined;
    for (const std::string& id : ids)
        joined += (joined.empty() ? "" : ",") + percentEncoded(id);
    return joined;
}

bool isSequenceDatabase(const DatabaseInfo& database)
{
    return database.database != Database::Pubmed;
}

std::string summaryStart(const DatabaseInfo& database)
{
    return "esummary.fcgi?db=" + std::string(database.name) + "&retmode=xml" +
           (isSequenceDatabase(database) ? "&version=2.0" : "");
}

} // namespace

std::string historySearchQuery(const DatabaseInfo& database, std::string_view term, int count)
{
    return "esearch.fcgi?db=" + std::string(database.name) + "&term=" + percentEncoded(term) +
           "&usehistory=y&retmax=" + std::to_string(count) +
           (isSequenceDatabase(database) ? "&idtype=acc" : "");
}

std::string summaryQuery(const DatabaseInfo& database, const std::vector<std::string>& uids)
{
    return summaryStart(database) + "&id=" + joinedIds(uids);
}

std::string historySummaryQuery(const DatabaseInfo& database, std::string_view webEnv,
                                std::string_view queryKey, std::int64_t start, int count)
{
    return summaryStart(database) + "&query_key=" + percentEncoded(queryKey) +
           "&WebEnv=" + percentEncoded(webEnv) + "&retstart=" + std::to_string(start) +
           "&retmax=" + std::to_string(count);
}

std::string fetchQuery(const DatabaseInfo& database, const std::vector<std::string>& ids)
{
    return "efetch.fcgi?db=" + std::string(database.name) + "&id=" + joinedIds(ids) +
           "&rettype=" + std::string(database.fetchType) + "&retmode=text";
}

HttpRequest httpRequestFor(const ServiceSettings& settings, std::string_view query)
{
    std::string parameters(query.substr(query.find('?') + 1));
    parameters += "&tool=dbscout";
    if (!settings.email.empty())
        parameters += "&email=" + percentEncoded(settings.email);
    if (!settings.apiKey.empty())
        parameters += "&api_key=" + percentEncoded(settings.apiKey);
    HttpRequest request;
    request.address = settings.baseAddress + std::string(query.substr(0, query.find('?')));
    if (request.address.size() + 1 + parameters.size() > kMaxGetAddressBytes)
        request.form = std::move(parameters);
    else
        request.address += "?" + parameters;
    return request;
}

} // namespace Dbscout::Ncbi
