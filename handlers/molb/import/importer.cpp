#include "import/importer.h"

#include "import/record_parsers.h"
#include "import/text_lines.h"

#include <cerrno>
#include <cstring>
#include <zlib.h>

namespace Dbscout::Molb {
namespace {

constexpr size_t kSniffBytes = 4096;

std::optional<RecordFormat> recognise(std::string_view text)
{
    LineReader lines(text.substr(0, kSniffBytes));
    std::string_view line;
    while (lines.next(line) && trim(line).empty()) {
    }
    if (startsWith(line, "LOCUS "))
        return RecordFormat::GenBank;
    if (startsWith(line, "ID   "))
        return RecordFormat::EmblStyle;
    if (startsWith(line, ">"))
        return RecordFormat::Fasta;
    if (startsWith(line, "PMID- "))
        return RecordFormat::Medline;
    const std::string_view start = text.substr(0, kSniffBytes);
    if (startsWith(line, "<") && (start.find("<BlastOutput") != std::string_view::npos ||
                                  start.find("<BlastXML2") != std::string_view::npos))
        return RecordFormat::BlastXml;
    // A GenBank release file opens with a few lines about the release.
    if (start.find("\nLOCUS ") != std::string_view::npos)
        return RecordFormat::GenBank;
    return std::nullopt;
}

// Skips a GenBank release file's header: the records start at the first LOCUS line.
std::string_view fromFirstLocus(std::string_view text)
{
    if (startsWith(text, "LOCUS "))
        return text;
    const size_t locus = text.find("\nLOCUS ");
    return locus == std::string_view::npos ? text : text.substr(locus + 1);
}

bool isGzip(std::string_view bytes)
{
    return bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
}

// Inflates gzip data that was compressed once more inside the file (a bgzip file gzipped
// again); every member of a multi-member stream is inflated in turn.
Status gunzip(const std::string& path, std::string& bytes)
{
    std::string out;
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return Status::fail(ErrorCode::Failure, "Cannot start decompressing " + path);
    stream.next_in = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    char buffer[1 << 16];
    int code = Z_OK;
    while (code != Z_STREAM_END || stream.avail_in > 0) {
        if (code == Z_STREAM_END)
            inflateReset(&stream);
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END)
            break;
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (code == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)
            break; // input ended inside a member
    }
    inflateEnd(&stream);
    if (code != Z_STREAM_END)
        return Status::fail(ErrorCode::BadRequest,
                            "Cannot read " + path + ": the compressed data inside is damaged");
    bytes = std::move(out);
    return Status::pass();
}

void splitRecords(RecordFormat format, std::string_view text, std::vector<std::string_view>& out)
{
    switch (format) {
    case RecordFormat::GenBank:
        splitAtTerminators(fromFirstLocus(text), out);
        break;
    case RecordFormat::EmblStyle:
        splitAtTerminators(text, out);
        break;
    case RecordFormat::Fasta:
        splitFasta(text, out);
        break;
    case RecordFormat::Medline:
        splitMedline(text, out);
        break;
    case RecordFormat::BlastXml:
        out.push_back(text);
        break;
    }
}

Status parseRecord(RecordFormat format, std::string_view record, const std::string& sourceName,
                   NewObject& object)
{
    switch (format) {
    case RecordFormat::GenBank:
        return parseGenBankRecord(record, object);
    case RecordFormat::EmblStyle:
        return parseEmblStyleRecord(record, object);
    case RecordFormat::Fasta:
        return parseFastaRecord(record, object);
    case RecordFormat::Medline:
        return parseMedlineRecord(record, object);
    case RecordFormat::BlastXml:
        return parseBlastXml(record, sourceName, object);
    }
    return Status::fail(ErrorCode::BadRequest, "unknown format");
}

} // namespace

const char* formatName(RecordFormat format)
{
    switch (format) {
    case RecordFormat::GenBank:
        return "GenBank";
    case RecordFormat::EmblStyle:
        return "EMBL/UniProt";
    case RecordFormat::Fasta:
        return "FASTA";
    case RecordFormat::Medline:
        return "MEDLINE";
    case RecordFormat::BlastXml:
        return "BLAST XML";
    }
    return "";
}

Status readRecordFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file)
        return Status::fail(ErrorCode::NotFound,
                            "Cannot open " + path + ": " + std::strerror(errno ? errno : ENOMEM));
    gzbuffer(file, 1 << 17);
    char buffer[1 << 16];
    int count = 0;
    while ((count = gzread(file, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(count));
    int code = Z_OK;
    const char* message = gzerror(file, &code);
    const std::string error = count < 0 || (code != Z_OK && code != Z_BUF_ERROR) ? message : "";
    // Z_BUF_ERROR after the last byte means the compressed data stopped short.
    const bool truncated = code == Z_BUF_ERROR;
    gzclose(file);
    if (!error.empty() || truncated)
        return Status::fail(
            ErrorCode::BadRequest,
            "Cannot read " + path + ": " +
                (truncated ? std::string("the compressed data ends early") : error));
    Status status = Status::pass();
    while (status.ok() && isGzip(bytes))
        status = gunzip(path, bytes);
    return status;
}

Status readRecords(std::string_view text, const std::string& sourceName, RecordFile& file)
{
    file = RecordFile();
    const std::optional<RecordFormat> format = recognise(text);
    if (!format)
        return Status::fail(ErrorCode::BadRequest,
                            "not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML file");
    file.format = *format;
    std::vector<std::string_view> records;
    splitRecords(*format, text, records);
    for (size_t i = 0; i < records.size(); ++i) {
        NewObject object;
        Status status = parseRecord(*format, records[i], sourceName, object);
        if (!status.ok()) {
            file.problems.push_back(RecordProblem{i + 1, status.message()});
            continue;
        }
        object.bytes = records[i];
        file.objects.push_back(std::move(object));
        file.objectNumbers.push_back(i + 1);
    }
    return Status::pass();
}

bool describeObject(std::string_view bytes, Kind kind, ObjectMeta& meta)
{
    const std::optional<RecordFormat> format = recognise(bytes);
    if (!format)
        return false;
    std::vector<std::string_view> records;
    splitRecords(*format, bytes, records);
    NewObject object;
    if (records.size() != 1 || !parseRecord(*format, records[0], {}, object).ok() ||
        object.kind != kind)
        return false;
    const std::string name = meta[Field::Name];
    meta = object.meta;
    meta[Field::Name] = name;
    return true;
}

} // namespace Dbscout::Molb
