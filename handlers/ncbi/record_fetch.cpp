#include "record_fetch.h"

#include "entrez_calls.h"
#include "eutils_query.h"
#include "flat_records.h"
#include "named_records.h"
#include "read_only_answers.h"
#include "write_all.h"

#include <map>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;

Status notFound(WebClient& client, const std::vector<std::string>& ids)
{
    return Status::fail(ErrorCode::NotFound,
                        client.serviceName() + " has no record " + Web::listedNames(ids) +
                            ": check the accession or PMID; a record may also have been "
                            "withdrawn.");
}

bool isGi(const DatabaseInfo& database, const std::string& id)
{
    return database.database != Database::Pubmed &&
           id.find_first_not_of("0123456789") == std::string::npos;
}

Status streamOne(WebClient& client, const DatabaseInfo& database, const std::string& id, int out,
                 FetchOutcome& outcome)
{
    bool readerGone = false;
    const StreamJudge judge{
        [&database](std::string_view start) { return notRecords(start, database.records); },
        [&database](std::string_view whole) {
            std::vector<FlatRecord> records;
            return readFlatRecords(whole, database.records, records).ok() && records.size() == 1;
        }};
    Status status = client.stream(
        oneRecordQuery(database, id), client.settings().recordCacheSeconds, judge,
        [&](const char* data, size_t length) {
            readerGone = !Handlers::writeAll(out, data, length);
            return !readerGone;
        },
        outcome.started);
    if (status.ok() && !outcome.started)
        return notFound(client, {id});
    return status;
}

// One id asked for, and the name it is fetched by: itself, the accession.version a GI stands for,
// or nothing for a GI NCBI does not know.
struct Asked
{
    std::string id;
    std::string name;
};

// Writes the records of batch, in its order, from the cache or one efetch; ids NCBI does not
// have go to outcome.missing.
Status fetchBatch(WebClient& client, const DatabaseInfo& database, const std::vector<Asked>& batch,
                  int out, FetchOutcome& outcome)
{
    const int keepSeconds = client.settings().recordCacheSeconds;
    std::map<std::string, std::string> texts; // by name
    std::vector<std::string> names;
    for (const Asked& asked : batch) {
        if (asked.name.empty() || texts.contains(asked.name))
            continue;
        if (std::optional<std::string> kept =
                client.cached(oneRecordQuery(database, asked.name), keepSeconds))
            texts[asked.name] = std::move(*kept);
        else
            names.push_back(asked.name);
    }
    std::string body;
    std::vector<FlatRecord> records;
    if (!names.empty()) {
        Status status =
            callRecords(client, database.records, fetchQuery(database, names), body, records);
        if (!status.ok())
            return status;
    }
    for (const std::string& name : names) {
        for (const FlatRecord& record : records) {
            if (!texts.contains(name) && recordAnswers(record, name)) {
                texts[name] = record.text;
                if (keepSeconds > 0)
                    client.keep(oneRecordQuery(database, name), record.text);
            }
        }
    }
    for (const Asked& asked : batch) {
        const auto found = texts.find(asked.name);
        if (found == texts.end()) {
            outcome.missing.push_back(asked.id);
            continue;
        }
        // MEDLINE records are told apart by a blank line between them.
        const bool apart = outcome.started && database.records == RecordText::Medline;
        outcome.started = true;
        if ((apart && !Handlers::writeAll(out, "\n")) || !Handlers::writeAll(out, found->second))
            return Status::fail(ErrorCode::Failure, "The reader of the records went away.");
    }
    return Status::pass();
}

} // namespace

Status fetchRecords(WebClient& client, const DatabaseInfo& database,
                    const std::vector<std::string>& ids, int out, FetchOutcome& outcome)
{
    outcome = FetchOutcome();
    if (ids.size() == 1 && !isGi(database, ids.front()))
        return streamOne(client, database, ids.front(), out, outcome);
    // Records do not carry their GI: a GI is fetched by the accession.version it stands for.
    std::vector<std::string> gis;
    for (const std::string& id : ids) {
        if (isGi(database, id))
            gis.push_back(id);
    }
    std::map<std::string, std::string> versions;
    if (!gis.empty()) {
        if (Status status = accessionsOf(client, database, gis, versions); !status.ok())
            return status;
    }
    std::vector<Asked> batch;
    for (size_t i = 0; i < ids.size(); ++i) {
        const auto version = versions.find(ids[i]);
        batch.push_back({ids[i], version != versions.end() ? version->second
                                 : isGi(database, ids[i])  ? std::string()
                                                           : ids[i]});
        if (batch.size() == kFetchBatch || i + 1 == ids.size()) {
            if (Status status = fetchBatch(client, database, batch, out, outcome); !status.ok())
                return status;
            batch.clear();
        }
    }
    if (!outcome.started)
        return notFound(client, outcome.missing);
    return Status::pass();
}

} // namespace Dbscout::Ncbi
