#include "import/importer.h"

#include "import/record_parsers.h"
#include "import/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
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

Status unreadable(const std::string& path, const std::string& why)
{
    return Status::fail(ErrorCode::BadRequest, "Cannot read " + path + ": " + why);
}

// Inflates one gzip layer of input into out: every member of a multi-member stream (as bgzip
// writes) in turn; bytes after the last member that start no other are ignored, as gzip does.
Status inflateLayer(const std::string& path, std::string_view input, size_t limit, std::string& out)
{
    out.clear();
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return Status::fail(ErrorCode::Failure, "Cannot start decompressing " + path);
    std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&stream, inflateEnd);
    size_t given = 0; // input handed to zlib so far; its avail_in is only 32 bits wide
    char buffer[1 << 16];
    while (true) {
        if (stream.avail_in == 0 && given < input.size()) {
            const size_t chunk = std::min<size_t>(input.size() - given, 1u << 30);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + given));
            stream.avail_in = static_cast<uInt>(chunk);
            given += chunk;
        }
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        const int code = inflate(&stream, Z_NO_FLUSH);
        if (code == Z_BUF_ERROR)
            return unreadable(path, "the compressed data ends early");
        if (code != Z_OK && code != Z_STREAM_END)
            return unreadable(path, stream.msg ? std::string("the compressed data is damaged (") +
                                                     stream.msg + ")"
                                               : "the compressed data is damaged");
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > limit)
            return unreadable(path, "it inflates to more than " + std::to_string(limit) +
                                        " bytes, far more than record files inflate from its "
                                        "size; decompress it first if it is genuine");
        const size_t rest = given - stream.avail_in; // where the input not yet used starts
        if (code == Z_STREAM_END) {
            if (!isGzip(input.substr(rest)))
                return Status::pass();
            inflateReset(&stream);
        } else if (rest == input.size() && stream.avail_out != 0) {
            return unreadable(path, "the compressed data ends early");
        }
    }
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
    // In the order of RecordFormat.
    static constexpr const char* kNames[] = {"GenBank", "EMBL/UniProt", "FASTA", "MEDLINE",
                                             "BLAST XML"};
    const auto index = static_cast<size_t>(format);
    return index < std::size(kNames) ? kNames[index] : "";
}

Status readRecordFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::fail(ErrorCode::NotFound,
                            "Cannot open " + path + ": " + std::strerror(errno));
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[1 << 16];
    ssize_t count = 0;
    while ((count = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            break;
        bytes.append(buffer, static_cast<size_t>(count));
    }
    const int error = errno;
    ::close(fd);
    if (count < 0)
        return unreadable(path, std::strerror(error));
    return inflateRecordBytes(path, bytes);
}

Status inflateRecordBytes(const std::string& path, std::string& bytes, const InflateLimits& limits)
{
    // A small file may not inflate into more memory than the machine has, nor nest without end.
    const size_t limit =
        std::max(limits.floorBytes,
                 bytes.size() > SIZE_MAX / limits.ratio ? SIZE_MAX : bytes.size() * limits.ratio);
    std::string inflated;
    for (int layer = 0; isGzip(bytes); ++layer) {
        if (layer == limits.layers)
            return unreadable(path, "it is compressed more than " + std::to_string(limits.layers) +
                                        " times over");
        if (Status status = inflateLayer(path, bytes, limit, inflated); !status.ok())
            return status;
        bytes.swap(inflated);
    }
    return Status::pass();
}

Status readRecords(std::string_view text, const std::string& sourceName, RecordFile& file)
{
    const std::optional<RecordFormat> format = recognise(text);
    if (!format) {
        file = RecordFile();
        return Status::fail(ErrorCode::BadRequest,
                            "not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML file");
    }
    readRecordsAs(*format, text, sourceName, file);
    return Status::pass();
}

void readRecordsAs(RecordFormat format, std::string_view text, const std::string& sourceName,
                   RecordFile& file)
{
    file = RecordFile();
    file.format = format;
    std::vector<std::string_view> records;
    splitRecords(format, text, records);
    for (size_t i = 0; i < records.size(); ++i) {
        NewObject object;
        Status status = parseRecord(format, records[i], sourceName, object);
        if (!status.ok()) {
            file.problems.push_back(RecordProblem{i + 1, status.message()});
            continue;
        }
        object.bytes = records[i];
        file.objects.push_back(std::move(object));
        file.objectNumbers.push_back(i + 1);
    }
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
