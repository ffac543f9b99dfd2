#include "eutils_query.h"

#include "percent_encoding.h"

namespace Dbscout::Ncbi {
namespace {

// What a web address carries unescaped in a parameter's value.
std::string percentEncoded(std::string_view text)
{
    return Handlers::percentEncode(text, "-._~");
}

} // namespace

std::string searchQuery(const DatabaseInfo& database, std::string_view term, std::int64_t start,
                        int count)
{
    return "esearch.fcgi?db=" + std::string(database.name) + "&term=" + percentEncoded(term) +
           "&retstart=" + std::to_string(start) + "&retmax=" + std::to_string(count);
}

std::string summaryQuery(const DatabaseInfo& database, const std::vector<std::string>& uids)
{
    std::string query = "esummary.fcgi?db=" + std::string(database.name) + "&retmode=xml&id=";
    for (size_t i = 0; i < uids.size(); ++i) {
        if (i > 0)
            query += ',';
        query += percentEncoded(uids[i]);
    }
    return query;
}

std::string fetchQuery(const DatabaseInfo& database, std::string_view id)
{
    return "efetch.fcgi?db=" + std::string(database.name) + "&id=" + percentEncoded(id) +
           "&rettype=" + std::string(database.fetchType) + "&retmode=text";
}

std::string requestAddress(const ServiceSettings& settings, std::string_view query)
{
    std::string address = settings.baseAddress + std::string(query) + "&tool=dbscout";
    if (!settings.email.empty())
        address += "&email=" + percentEncoded(settings.email);
    if (!settings.apiKey.empty())
        address += "&api_key=" + percentEncoded(settings.apiKey);
    return address;
}

} // namespace Dbscout::Ncbi
