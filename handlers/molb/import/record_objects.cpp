// What the store keeps of a record: its kind and the columns its lists show.

#include "import/importer.h"
#include "records/records.h"

namespace Dbscout::Molb {
namespace {

using Records::Record;
using Records::RecordKind;

Kind kindOf(RecordKind kind)
{
    // In the order of RecordKind.
    static constexpr Kind kKinds[] = {Kind::DnaRna, Kind::Protein, Kind::Citation, Kind::Blast};
    return kKinds[static_cast<size_t>(kind)];
}

std::string withoutFinalDot(std::string text)
{
    if (text.ends_with('.'))
        text.pop_back();
    return text;
}

void citationColumns(const Record& record, ObjectMeta& meta)
{
    const Records::Citation& citation = record.citation;
    for (const std::string& author : citation.authors)
        meta[Field::Authors] += (meta[Field::Authors].empty() ? "" : ", ") + author;
    meta[Field::Description] = withoutFinalDot(citation.title);
    meta[Field::Journal] = citation.journal;
    meta[Field::Year] = citation.year;
}

void blastColumns(const Record& record, ObjectMeta& meta)
{
    const Records::BlastReport& report = record.blast;
    meta[Field::Program] = report.program;
    meta[Field::Database] = report.database;
    meta[Field::Hits] = std::to_string(report.hits.size());
    // "BLASTN 2.2.12 [Aug-07-2005]": the date of the program's release in brackets.
    const size_t open = report.version.find('[');
    const size_t close = report.version.find(']', open);
    if (open != std::string::npos && close != std::string::npos)
        meta[Field::RunDate] = report.version.substr(open + 1, close - open - 1);
}

} // namespace

NewObject objectOf(const Record& record, const std::string& sourceName)
{
    NewObject object;
    object.kind = kindOf(record.kind);
    ObjectMeta& meta = object.meta;
    meta[Field::Name] = record.kind == RecordKind::BlastReport ? sourceName : record.name;
    meta[Field::Accession] = record.accession();
    meta[Field::Description] = record.description;
    meta[Field::Organism] = record.organism;
    meta[Field::Topology] = Records::topologyName(record.topology);
    if (record.kind == RecordKind::Citation)
        citationColumns(record, meta);
    else if (record.kind == RecordKind::BlastReport)
        blastColumns(record, meta);
    else if (!record.countsRecords)
        meta[Field::Length] = std::to_string(record.length);
    object.metaKnown = true;
    return object;
}

Status readRecords(std::string_view text, const std::string& sourceName, RecordFile& file)
{
    const std::optional<Records::Format> format = Records::recogniseFormat(text);
    if (!format) {
        file = RecordFile();
        return Status::fail(ErrorCode::BadRequest,
                            "not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML file");
    }
    readRecordsAs(*format, text, sourceName, file);
    return Status::pass();
}

void readRecordsAs(Records::Format format, std::string_view text, const std::string& sourceName,
                   RecordFile& file)
{
    file = RecordFile();
    Records::RecordText read;
    Records::readRecordsAs(format, text, read);
    file.format = format;
    for (size_t i = 0; i < read.entries.size(); ++i) {
        const Records::ReadEntry& entry = read.entries[i];
        if (!entry.outcome.ok()) {
            file.problems.push_back(RecordProblem{i + 1, entry.outcome.text()});
            continue;
        }
        // An EMBL-layout file of UniProt entries is named by what they are.
        if (file.objects.empty())
            file.format = entry.record.format;
        NewObject object = objectOf(entry.record, sourceName);
        object.bytes = text.substr(entry.place.offset, entry.place.size);
        file.objects.push_back(std::move(object));
        file.objectNumbers.push_back(i + 1);
    }
}

bool describeObject(std::string_view bytes, Kind kind, ObjectMeta& meta)
{
    Records::RecordText read;
    if (!Records::readRecords(bytes, read).ok() || read.entries.size() != 1 ||
        !read.entries[0].outcome.ok())
        return false;
    const NewObject object = objectOf(read.entries[0].record, {});
    if (object.kind != kind)
        return false;
    const std::string name = meta[Field::Name];
    meta = object.meta;
    meta[Field::Name] = name;
    return true;
}

} // namespace Dbscout::Molb
