#pragma once
// Recognising record files and reading them into objects, for molb-admin import and for saves
// whose bytes are a record.

#include "shared_names.h"
#include "store.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

enum class RecordFormat { GenBank, EmblStyle, Fasta, Medline, BlastXml };

const char* formatName(RecordFormat format);

struct RecordProblem
{
    size_t number = 0; // 1-based place of the record in its file
    std::string message;
};

struct RecordFile
{
    RecordFormat format = RecordFormat::Fasta;
    std::vector<NewObject> objects;    // the good records, bytes and metadata filled
    std::vector<size_t> objectNumbers; // the record number of each object
    std::vector<RecordProblem> problems;
};

// Reads a plain or gzip-compressed (also multi-member, as bgzip writes) file whole.
Status readRecordFile(const std::string& path, std::string& bytes);
// Recognises the format from the text's start and reads every record. A record that cannot be
// read becomes a problem, never an object. sourceName names a BLAST run, which has no name of its
// own. Fails when the format is not one of RecordFormat.
Status readRecords(std::string_view text, const std::string& sourceName, RecordFile& file);
// For a save: fills meta (all but the name) from bytes when they are one record of kind.
bool describeObject(std::string_view bytes, Kind kind, ObjectMeta& meta);

} // namespace Dbscout::Molb
