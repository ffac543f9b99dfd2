#include "named_records.h"

#include "entrez_calls.h"
#include "eutils_query.h"

#include "ascii_text.h"

#include <algorithm>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;

bool sameName(std::string_view a, std::string_view b)
{
    return !a.empty() && Handlers::equalsIgnoringCase(a, b);
}

// Whether summary is of the record id names: its PMID, GI, accession.version, or accession.
bool summaryAnswers(const DatabaseInfo& database, const DocSum& summary, const std::string& id)
{
    if (!summary.error.empty())
        return false;
    if (database.database == Database::Pubmed)
        return summary.uid == id;
    return summary.uid == id || summary.item("Gi") == id ||
           sameName(summary.item("AccessionVersion"), id) ||
           (id.find('.') == std::string::npos && sameName(summary.item("Caption"), id));
}

Status summariesOf(EutilsClient& client, const DatabaseInfo& database,
                   const std::vector<std::string>& ids, SummaryAnswer& summaries)
{
    Status status = callSummaries(client, summaryQuery(database, ids),
                                  client.settings().recordCacheSeconds, summaries);
    if (status.ok() && !summaries.error.empty() && !unknownRecordsOnly(summaries.error))
        return Status::fail(ErrorCode::Failure, client.serviceName() +
                                                    " could not summarise the records: " +
                                                    summaries.error + ". Please try again.");
    return status;
}

} // namespace

std::string oneRecordQuery(const DatabaseInfo& database, const std::string& id)
{
    return fetchQuery(database, {id});
}

Status listNamed(EutilsClient& client, const DatabaseInfo& database,
                 const std::vector<std::string>& ids, std::vector<ListedRecord>& rows)
{
    rows.clear();
    if (ids.empty())
        return Status::pass();
    SummaryAnswer summaries;
    if (Status status = summariesOf(client, database, ids, summaries); !status.ok())
        return status;
    std::vector<std::string> unsummarised;
    for (const std::string& id : ids) {
        const auto found =
            std::find_if(summaries.docs.begin(), summaries.docs.end(),
                         [&](const DocSum& doc) { return summaryAnswers(database, doc, id); });
        rows.push_back(found == summaries.docs.end() ? unknownRecord(database, id)
                                                     : listedRecord(database, *found));
        if (found == summaries.docs.end())
            unsummarised.push_back(id);
    }
    // PubMed summarises every record it has; nucleotide and protein records without a GI, and
    // accessions without their version, only efetch reaches.
    if (unsummarised.empty() || database.database == Database::Pubmed)
        return Status::pass();
    std::string body;
    std::vector<FlatRecord> records;
    Status status =
        callRecords(client, database.records, fetchQuery(database, unsummarised), body, records);
    if (!status.ok())
        return status;
    for (const FlatRecord& record : records) {
        for (ListedRecord& row : rows) {
            if (!row.openable && recordAnswers(record, row.id)) {
                row = listedRecord(record);
                if (client.settings().recordCacheSeconds > 0)
                    client.keep(oneRecordQuery(database, row.id), record.text);
            }
        }
    }
    return Status::pass();
}

Status accessionsOf(EutilsClient& client, const DatabaseInfo& database,
                    const std::vector<std::string>& gis,
                    std::map<std::string, std::string>& versions)
{
    SummaryAnswer summaries;
    if (Status status = summariesOf(client, database, gis, summaries); !status.ok())
        return status;
    for (const std::string& gi : gis) {
        for (const DocSum& doc : summaries.docs) {
            if (summaryAnswers(database, doc, gi) && !doc.item("AccessionVersion").empty())
                versions[gi] = doc.item("AccessionVersion");
        }
    }
    return Status::pass();
}

} // namespace Dbscout::Ncbi
