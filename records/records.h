#pragma once
// Reading record texts of any supported format: telling the format from the text's start,
// finding where each record of a text of many begins, and reading each into the one model of a
// record (record.h). What a program shows or stores of a record is taken from here.

#include "outcome.h"
#include "record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Records {

// The format of text, told from its first lines: GenBank (also after a release file's header),
// EMBL and UniProt (both Format::Embl here; each record says which it is), FASTA, MEDLINE or a
// BLAST XML report. Nothing for anything else.
std::optional<Format> recogniseFormat(std::string_view text);

// Where one record of a text stands: its first byte and size, and the number of its first line.
struct RecordPlace
{
    size_t offset = 0;
    size_t size = 0;
    size_t line = 1;
};

// The places of the records of text, which is of format: every "//"-ended entry from its first
// line, every ">" record, every blank-line-separated citation; a BLAST report is one.
std::vector<RecordPlace> splitRecords(Format format, std::string_view text);

// Reads one record of format (Embl stands for UniProt too). firstLine numbers the text's first
// line for the messages. When it fails, record holds what was read before the line where reading
// stopped, enough to name the record in a message and never to be shown as data.
Outcome readRecord(Format format, std::string_view text, Record& record, size_t firstLine = 1);

// The record as text of its own format, which readRecord reads back to the same record.
std::string writeRecord(const Record& record);

struct ReadEntry
{
    RecordPlace place;
    Outcome outcome; // failed: the record cannot be read, and record holds nothing to show
    Record record;
};

struct RecordText
{
    Format format = Format::Fasta;
    std::vector<ReadEntry> entries; // every record of the text, in order
};

// Recognises the format of text and reads every record. Fails only when the format is none of
// the supported ones; a record that cannot be read fails on its own entry.
Outcome readRecords(std::string_view text, RecordText& read);
// Reads every record of text as format, whatever its start looks like.
void readRecordsAs(Format format, std::string_view text, RecordText& read);

} // namespace Dbscout::Records
