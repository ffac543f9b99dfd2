#include "record_fetch.h"

#include "read_only_answers.h"
#include "records/records.h"
#include "web_page.h"
#include "write_all.h"

namespace Dbscout::Ebi {
namespace {

using Handlers::ErrorCode;

constexpr size_t kQuotedBytes = 60;

std::string recordQuery(const SourceInfo& source, const std::string& id)
{
    return source.source == Source::UniProtKB ? "uniprotkb/" + encoded(id) + ".txt"
                                              : "browser/api/embl/" + encoded(id);
}

Records::Format formatOf(const SourceInfo& source)
{
    return source.source == Source::UniProtKB ? Records::Format::UniProt : Records::Format::Embl;
}

// What the start of an answer is when it does not start a record of the source's format, told by
// the record readers; empty when it starts one.
std::string notRecord(const SourceInfo& source, std::string_view start)
{
    if (std::optional<std::string> page = Web::webPage(start))
        return *page;
    // The readers tell UniProt's entries and EMBL's records apart only once read: both start so.
    if (Records::recogniseFormat(start) == Records::Format::Embl)
        return {};
    std::string line(start.substr(0, std::min(start.find('\n'), kQuotedBytes)));
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return "text that is not " +
           std::string(source.source == Source::UniProtKB ? "a UniProt entry" : "an EMBL record") +
           " (\"" + line + "\")";
}

// Whether text is one whole record of the source's format, as the record readers read it: only
// such an answer is kept.
bool wholeRecord(const SourceInfo& source, std::string_view text)
{
    Records::RecordText read;
    Records::readRecordsAs(Records::Format::Embl, text, read);
    return (text.ends_with("\n//\n") || text.ends_with("\n//\r\n")) && read.entries.size() == 1 &&
           read.entries[0].outcome.ok() && read.entries[0].record.format == formatOf(source);
}

} // namespace

Status fetchRecords(WebClient& client, const SourceInfo& source,
                    const std::vector<std::string>& ids, int out, FetchOutcome& outcome)
{
    const Web::StreamJudge judge{
        [&source](std::string_view start) { return notRecord(source, start); },
        [&source](std::string_view text) { return wholeRecord(source, text); }};
    for (const std::string& id : ids) {
        bool started = false;
        Status status = client.stream(
            recordQuery(source, id), client.settings().recordCacheSeconds, judge,
            [out](const char* data, size_t length) {
                return Handlers::writeAll(out, data, length);
            },
            started);
        outcome.started = outcome.started || started;
        if (status.code() == ErrorCode::NotFound || (status.ok() && !started)) {
            outcome.missing.push_back(id);
            continue;
        }
        if (!status.ok())
            return status;
    }
    if (outcome.missing.size() == ids.size())
        return Status::fail(
            ErrorCode::NotFound,
            client.serviceName() + " has no record " + Web::listedNames(ids) +
                (source.source == Source::UniProtKB
                     ? ": check the accession or entry name; an entry may also have been merged "
                       "into another or made obsolete."
                     : ": check the accession or accession.version; a record may also have been "
                       "suppressed."));
    return Status::pass();
}

} // namespace Dbscout::Ebi
