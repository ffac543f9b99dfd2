#include "flat_records.h"

#include "ascii_text.h"
#include "web_page.h"

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;
using Handlers::kAsciiBlanks;
using Handlers::trimmed;

constexpr std::string_view kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
constexpr size_t kQuotedBytes = 60;

bool isBlank(std::string_view line)
{
    return trimmed(line).empty();
}

std::string_view firstWord(std::string_view text)
{
    text = trimmed(text);
    return text.substr(0, text.find_first_of(kAsciiBlanks));
}

bool startsRecord(std::string_view line, RecordText format)
{
    return format == RecordText::GenBank ? line.starts_with("LOCUS ") : line.starts_with("PMID- ");
}

std::string quoted(std::string_view line)
{
    line = trimmed(line);
    return "\"" + std::string(line.substr(0, kQuotedBytes)) +
           (line.size() > kQuotedBytes ? "...\"" : "\"");
}

std::string notRecordLine(std::string_view line, RecordText format)
{
    return std::string("text that is not a ") +
           (format == RecordText::GenBank ? "GenBank record" : "MEDLINE record") + " (" +
           quoted(line) + ")";
}

// "19-JAN-2000" as 2000-01-19; empty when it is no such date.
std::string isoDate(std::string_view date)
{
    if (date.size() != 11 || date[2] != '-' || date[6] != '-')
        return {};
    const size_t month = kMonths.find(std::string(date.substr(3, 3)));
    if (month == std::string_view::npos || month % 3 != 0)
        return {};
    const std::string number = std::to_string(month / 3 + 1);
    return std::string(date.substr(7, 4)) + "-" + (number.size() == 1 ? "0" : "") + number + "-" +
           std::string(date.substr(0, 2));
}

// One line of a GenBank record read into the fields a listing shows. continuation tells whether
// the line continues the field before it (12 blanks first); keyword is that field.
void readGenBankLine(std::string_view line, std::string& keyword, FlatRecord& record)
{
    if (line.starts_with("            ") && keyword == "DEFINITION") {
        record.definition += " " + std::string(trimmed(line));
        return;
    }
    keyword = std::string(firstWord(line.substr(0, 12)));
    const std::string_view value = line.size() > 12 ? trimmed(line.substr(12)) : std::string_view();
    if (keyword == "LOCUS") {
        std::vector<std::string_view> words;
        for (std::string_view rest = value; !(rest = trimmed(rest)).empty();) {
            words.push_back(firstWord(rest));
            rest.remove_prefix(words.back().size());
        }
        if (words.size() > 2 && (words[2] == "bp" || words[2] == "aa"))
            record.length = words[1];
        if (!words.empty())
            record.date = isoDate(words.back());
    } else if (keyword == "DEFINITION") {
        record.definition = value;
    } else if (keyword == "ACCESSION") {
        record.accession = firstWord(value);
    } else if (keyword == "VERSION") {
        record.accessionVersion = firstWord(value);
    } else if (keyword == "ORGANISM" && record.organism.empty()) {
        record.organism = value;
    }
}

void finishGenBank(FlatRecord& record)
{
    if (record.definition.ends_with('.'))
        record.definition.pop_back();
    if (record.accessionVersion.empty())
        record.accessionVersion = record.accession;
}

bool isMedlineLine(std::string_view line)
{
    return line.starts_with("      ") || (line.size() >= 6 && line.substr(4, 2) == "- ");
}

} // namespace

std::string notRecords(std::string_view start, RecordText format)
{
    if (std::optional<std::string> page = webPage(start))
        return *page;
    while (!start.empty()) {
        const std::string_view line = start.substr(0, start.find('\n'));
        start.remove_prefix(std::min(start.size(), line.size() + 1));
        if (!isBlank(line))
            return startsRecord(line, format) ? std::string() : notRecordLine(line, format);
    }
    return {};
}

Status readFlatRecords(std::string_view answer, RecordText format, std::vector<FlatRecord>& records)
{
    records.clear();
    if (std::optional<std::string> page = webPage(answer))
        return Status::fail(ErrorCode::Failure, *page);
    const char* recordStart = nullptr;
    FlatRecord record;
    std::string keyword;
    size_t at = 0;
    while (at < answer.size()) {
        const size_t end = std::min(answer.find('\n', at), answer.size());
        const std::string_view line = answer.substr(at, end - at);
        const char* lineStart = answer.data() + at;
        at = std::min(end + 1, answer.size());
        const std::string_view text(recordStart ? recordStart : lineStart,
                                    answer.data() + at - (recordStart ? recordStart : lineStart));
        if (!recordStart) {
            if (isBlank(line))
                continue;
            if (!startsRecord(line, format))
                return Status::fail(ErrorCode::Failure, notRecordLine(line, format));
            recordStart = lineStart;
            record = FlatRecord();
            keyword.clear();
        }
        if (format == RecordText::GenBank) {
            if (trimmed(line) == "//") {
                record.text = text;
                finishGenBank(record);
                records.push_back(std::move(record));
                recordStart = nullptr;
            } else {
                readGenBankLine(line, keyword, record);
            }
            continue;
        }
        if (isBlank(line)) {
            records.push_back(std::move(record));
            recordStart = nullptr;
            continue;
        }
        if (!isMedlineLine(line))
            return Status::fail(ErrorCode::Failure, notRecordLine(line, format));
        if (line.starts_with("PMID- ")) {
            record.accessionVersion = record.accession = trimmed(line.substr(6));
        }
        record.text = text;
    }
    if (recordStart && format == RecordText::GenBank)
        return Status::fail(ErrorCode::Failure, "a GenBank record cut short (" +
                                                    quoted(record.accessionVersion) +
                                                    " has no closing \"//\" line)");
    if (recordStart) {
        if (!answer.ends_with('\n'))
            return Status::fail(ErrorCode::Failure, "a MEDLINE record cut short in its last line");
        records.push_back(std::move(record));
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
