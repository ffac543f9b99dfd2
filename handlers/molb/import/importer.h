#pragma once
// Reading record files into objects, for molb-admin import and for saves whose bytes are a
// record. The records themselves are read by the record readers (records/); this is what the
// store makes of them.

#include "model/shared_names.h"
#include "model/store.h"
#include "records/record.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

struct RecordProblem
{
    size_t number = 0; // 1-based place of the record in its file
    std::string message;
};

struct RecordFile
{
    Records::Format format = Records::Format::Fasta;
    std::vector<NewObject> objects;    // the good records, bytes and metadata filled
    std::vector<size_t> objectNumbers; // the record number of each object
    std::vector<RecordProblem> problems;
};

// What a record file may inflate to: at most ratio times its compressed size, or floorBytes
// when that is more, through at most layers of gzip (a bgzip file gzipped again has two).
// Record files compress by a factor of 3 to 10; a file far beyond is a decompression bomb.
struct InflateLimits
{
    size_t floorBytes = size_t(64) << 20;
    size_t ratio = 64;
    int layers = 3;
};

// Reads a plain or gzip-compressed (also multi-member, as bgzip writes) file whole.
Status readRecordFile(const std::string& path, std::string& bytes);
// Inflates bytes, which came from path, in place for as long as they are gzip data, within
// limits.
Status inflateRecordBytes(const std::string& path, std::string& bytes,
                          const InflateLimits& limits = {});

// Recognises the format from the text's start and reads every record. A record that cannot be
// read becomes a problem (its message names the file's line where reading stopped), never an
// object. sourceName names a BLAST run, which has no name of its own. Fails when the format is
// none the record readers know.
Status readRecords(std::string_view text, const std::string& sourceName, RecordFile& file);
// Reads every record of text as format, whatever its start looks like.
void readRecordsAs(Records::Format format, std::string_view text, const std::string& sourceName,
                   RecordFile& file);
// For a save: fills meta (all but the name) from bytes when they are one record of kind.
bool describeObject(std::string_view bytes, Kind kind, ObjectMeta& meta);
// The object a record becomes: its kind and columns (the bytes are the caller's).
NewObject objectOf(const Records::Record& record, const std::string& sourceName);

} // namespace Dbscout::Molb
