#include "records.h"

#include "formats.h"
#include "platform/blanks.h"
#include "text_lines.h"

#include <algorithm>

namespace Dbscout::Records {
namespace {

// How much of a text's start tells its format.
constexpr size_t kSniffBytes = 4096;

using Reader = Outcome (*)(std::string_view, size_t, Record&);
using Writer = std::string (*)(const Record&);

// Each format's reader and writer, in the order of Format.
constexpr std::pair<Reader, Writer> kFormats[] = {
    {readGenBank, writeGenBank}, {readEmbl, writeEmbl},       {readEmbl, writeUniProt},
    {readFasta, writeFasta},     {readMedline, writeMedline}, {readBlastXml, writeBlastXml},
};

// Cuts text into pieces that each start at a line for which starts() holds (or, with
// endsWithLine, end after a line for which it holds), leaving out blank lines between them.
template <typename Starts>
std::vector<RecordPlace> cut(std::string_view text, const Starts& starts, bool endsWithLine)
{
    std::vector<RecordPlace> places;
    LineReader lines(text);
    std::string_view line;
    std::optional<RecordPlace> open;
    const auto close = [&](size_t end) {
        if (open) {
            open->size = end - open->offset;
            places.push_back(*open);
            open.reset();
        }
    };
    while (true) {
        const size_t offset = lines.offset();
        if (!lines.next(line))
            break;
        const bool blank = trimmed(line, kLineBlanks).empty();
        if (!endsWithLine && starts(line))
            close(offset);
        if (!open && !blank)
            open = RecordPlace{offset, 0, lines.lineNumber()};
        if (endsWithLine && starts(line))
            close(std::min(lines.offset(), text.size()));
    }
    close(text.size());
    return places;
}

bool isTerminator(std::string_view line)
{
    return line.starts_with("//");
}

} // namespace

std::optional<Format> recogniseFormat(std::string_view text)
{
    const std::string_view start = text.substr(0, kSniffBytes);
    LineReader lines(start);
    std::string_view line;
    while (lines.next(line) && trimmed(line, kLineBlanks).empty()) {
    }
    if (line.starts_with("LOCUS "))
        return Format::GenBank;
    if (line.starts_with("ID   "))
        return Format::Embl;
    if (line.starts_with(">"))
        return Format::Fasta;
    if (line.starts_with("PMID- "))
        return Format::Medline;
    if (line.starts_with("<") && (start.find("<BlastOutput") != std::string_view::npos ||
                                  start.find("<BlastXML2") != std::string_view::npos))
        return Format::BlastXml;
    // A GenBank release file opens with a few lines about the release.
    if (start.find("\nLOCUS ") != std::string_view::npos)
        return Format::GenBank;
    return std::nullopt;
}

std::vector<RecordPlace> splitRecords(Format format, std::string_view text)
{
    switch (format) {
    case Format::GenBank: {
        // A release file's header goes before the first LOCUS line.
        const size_t first = text.starts_with("LOCUS ") ? 0 : text.find("\nLOCUS ");
        const size_t skip = first == std::string_view::npos || first == 0 ? 0 : first + 1;
        const size_t skippedLines = static_cast<size_t>(
            std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(skip), '\n'));
        std::vector<RecordPlace> places = cut(text.substr(skip), isTerminator, true);
        for (RecordPlace& place : places) {
            place.offset += skip;
            place.line += skippedLines;
        }
        return places;
    }
    case Format::Embl:
    case Format::UniProt:
        return cut(text, isTerminator, true);
    case Format::Fasta:
        return cut(
            text, [](std::string_view line) { return line.starts_with('>'); }, false);
    case Format::Medline:
        return cut(
            text, [](std::string_view line) { return trimmed(line, kLineBlanks).empty(); }, false);
    case Format::BlastXml:
        break;
    }
    if (trimmed(text, kLineBlanks).empty())
        return {};
    return {RecordPlace{0, text.size(), 1}};
}

Outcome readRecord(Format format, std::string_view text, Record& record, size_t firstLine)
{
    return kFormats[static_cast<size_t>(format)].first(text, firstLine, record);
}

std::string writeRecord(const Record& record)
{
    return kFormats[static_cast<size_t>(record.format)].second(record);
}

Outcome readRecords(std::string_view text, RecordText& read)
{
    const std::optional<Format> format = recogniseFormat(text);
    if (!format) {
        read = RecordText();
        return Outcome::failed(0, "not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML text");
    }
    readRecordsAs(*format, text, read);
    return Outcome::done();
}

void readRecordsAs(Format format, std::string_view text, RecordText& read)
{
    read = RecordText();
    read.format = format;
    for (const RecordPlace& place : splitRecords(format, text)) {
        ReadEntry& entry = read.entries.emplace_back();
        entry.place = place;
        entry.outcome =
            readRecord(format, text.substr(place.offset, place.size), entry.record, place.line);
        if (!entry.outcome.ok())
            entry.record = Record();
    }
}

} // namespace Dbscout::Records
