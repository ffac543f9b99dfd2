#include "record_fetch.h"

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

// Both formats start with an identification line "ID   " and end each record with "//".
std::string notRecord(const SourceInfo& source, std::string_view start)
{
    if (std::optional<std::string> page = Web::webPage(start))
        return *page;
    if (start.starts_with("ID   "))
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

bool wholeRecord(std::string_view text)
{
    return text.starts_with("ID   ") && (text.ends_with("\n//\n") || text.ends_with("\n//\r\n"));
}

std::string listed(const std::vector<std::string>& ids)
{
    constexpr size_t kNamed = 10;
    std::string text;
    for (size_t i = 0; i < ids.size() && i < kNamed; ++i)
        text += (i ? ", " : "") + ids[i];
    return ids.size() > kNamed ? text + " and " + std::to_string(ids.size() - kNamed) + " more"
                               : text;
}

} // namespace

Status fetchRecords(WebClient& client, const SourceInfo& source,
                    const std::vector<std::string>& ids, int out, FetchOutcome& outcome)
{
    const Web::StreamJudge judge{
        [&source](std::string_view start) { return notRecord(source, start); }, wholeRecord};
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
            client.serviceName() + " has no record " + listed(ids) +
                (source.source == Source::UniProtKB
                     ? ": check the accession or entry name; an entry may also have been merged "
                       "into another or made obsolete."
                     : ": check the accession or accession.version; a record may also have been "
                       "suppressed."));
    return Status::pass();
}

} // namespace Dbscout::Ebi
