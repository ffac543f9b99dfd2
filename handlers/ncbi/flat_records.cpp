#include "flat_records.h"

#include "ascii_text.h"
#include "records/records.h"
#include "web_page.h"

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;
using Handlers::trimmed;

constexpr size_t kQuotedBytes = 60;

Records::Format recordFormat(RecordText format)
{
    return format == RecordText::GenBank ? Records::Format::GenBank : Records::Format::Medline;
}

const char* formatName(RecordText format)
{
    return format == RecordText::GenBank ? "GenBank" : "MEDLINE";
}

// The first line of text that is not blank; empty when there is none.
std::string_view firstLine(std::string_view text)
{
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (!trimmed(line).empty())
            return line;
    }
    return {};
}

// Line number (counted from 1) of text.
std::string_view lineAt(std::string_view text, size_t number)
{
    for (; number > 1 && !text.empty(); --number)
        text.remove_prefix(std::min(text.size(), text.find('\n') + 1));
    return text.substr(0, text.find('\n'));
}

bool startsRecord(std::string_view line, RecordText format)
{
    return Records::recogniseFormat(line) == recordFormat(format);
}

std::string quoted(std::string_view line)
{
    line = trimmed(line);
    return "\"" + std::string(line.substr(0, kQuotedBytes)) +
           (line.size() > kQuotedBytes ? "...\"" : "\"");
}

std::string notRecordLine(std::string_view line, RecordText format)
{
    return std::string("text that is not a ") + formatName(format) + " record (" + quoted(line) +
           ")";
}

Status failed(std::string message)
{
    return Status::fail(ErrorCode::Failure, std::move(message));
}

// A record the records library could not read, named by the line where reading stopped.
Status unreadable(std::string_view answer, RecordText format, const Records::Outcome& outcome)
{
    std::string where;
    if (outcome.line() > 0)
        where = " at line " + std::to_string(outcome.line()) + " (" +
                quoted(lineAt(answer, outcome.line())) + ")";
    return failed(std::string("a ") + formatName(format) + " record that cannot be read" + where +
                  ": " + outcome.message().substr(0, 2 * kQuotedBytes));
}

// Whether a GenBank record's text ends with its "//" line.
bool closed(std::string_view text)
{
    const size_t last = trimmed(text).rfind('\n');
    return trimmed(text.substr(last == std::string_view::npos ? 0 : last + 1)).starts_with("//");
}

// What names the record and what a listing shows of it.
FlatRecord flatRecord(std::string_view text, const Records::Record& record)
{
    FlatRecord flat;
    flat.text = text;
    flat.accession = record.accession();
    flat.accessionVersion = record.version.empty() ? flat.accession : record.version;
    if (record.kind == Records::RecordKind::Citation)
        return flat;
    flat.definition = record.description;
    flat.organism = record.organism;
    // A project's master record counts records, not residues.
    if (!record.countsRecords)
        flat.length = std::to_string(record.length);
    flat.date = Records::isoDate(record.updated);
    return flat;
}

} // namespace

std::string notRecords(std::string_view start, RecordText format)
{
    if (std::optional<std::string> page = Web::webPage(start))
        return *page;
    const std::string_view line = firstLine(start);
    return line.empty() || startsRecord(line, format) ? std::string() : notRecordLine(line, format);
}

Status readFlatRecords(std::string_view answer, RecordText format, std::vector<FlatRecord>& records)
{
    records.clear();
    if (std::optional<std::string> page = Web::webPage(answer))
        return failed(*page);
    size_t end = 0;
    for (const Records::RecordPlace& place : Records::splitRecords(recordFormat(format), answer)) {
        const std::string_view text = answer.substr(place.offset, place.size);
        const std::string_view before = firstLine(answer.substr(end, place.offset - end));
        end = place.offset + place.size;
        if (!before.empty() || !startsRecord(firstLine(text), format))
            return failed(notRecordLine(before.empty() ? firstLine(text) : before, format));
        Records::Record record;
        const Records::Outcome outcome =
            Records::readRecord(recordFormat(format), text, record, place.line);
        if (format == RecordText::GenBank && !closed(text))
            return failed("a GenBank record cut short (" +
                          quoted(record.version.empty() ? record.accession() : record.version) +
                          " has no closing \"//\" line)");
        if (format == RecordText::Medline && end == answer.size() && !answer.ends_with('\n'))
            return failed("a MEDLINE record cut short in its last line");
        if (!outcome.ok())
            return unreadable(answer, format, outcome);
        records.push_back(flatRecord(text, record));
    }
    return Status::pass();
}

bool recordAnswers(const FlatRecord& record, std::string_view id)
{
    const auto same = [id](const std::string& name) {
        return !name.empty() && Handlers::equalsIgnoringCase(name, id);
    };
    return same(record.accessionVersion) || same(record.accession);
}

} // namespace Dbscout::Ncbi
