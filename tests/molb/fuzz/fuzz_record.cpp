// One record importer, FUZZ_FORMAT, on any file text: every record becomes an object or a
// problem with a message, never a crash; an object read from a record has a name on one line,
// the kind its format allows and a length of digits.

#include "fuzz_check.h"
#include "import/importer.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

namespace {

constexpr RecordFormat kFormat = RecordFormat::FUZZ_FORMAT;

bool kindFits(Kind kind)
{
    switch (kFormat) {
    case RecordFormat::GenBank:
    case RecordFormat::EmblStyle:
    case RecordFormat::Fasta:
        return kind == Kind::DnaRna || kind == Kind::Protein;
    case RecordFormat::Medline:
        return kind == Kind::Citation;
    case RecordFormat::BlastXml:
        return kind == Kind::Blast;
    }
    return false;
}

bool onlyDigits(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RecordFile file;
    readRecordsAs(kFormat, text, "fuzz.xml", file);
    FUZZ_CHECK(file.objects.size() == file.objectNumbers.size());
    size_t previous = 0;
    for (size_t i = 0; i < file.objects.size(); ++i) {
        const NewObject& object = file.objects[i];
        FUZZ_CHECK(file.objectNumbers[i] > previous);
        previous = file.objectNumbers[i];
        FUZZ_CHECK(object.metaKnown && kindFits(object.kind));
        const std::string& name = object.meta[Field::Name];
        FUZZ_CHECK(!name.empty() && name.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(onlyDigits(object.meta[Field::Length]));
        FUZZ_CHECK(!object.bytes.empty() && object.bytes.size() <= size);
        // A save of exactly this record describes it as the import does, when its start tells
        // the same format (here the format is forced; a save recognises it).
        RecordFile alone;
        ObjectMeta meta;
        meta[Field::Name] = "saved";
        if (readRecords(object.bytes, "fuzz.xml", alone).ok() && alone.format == kFormat &&
            describeObject(object.bytes, object.kind, meta)) {
            FUZZ_CHECK(meta[Field::Name] == "saved" &&
                       meta[Field::Length] == object.meta[Field::Length]);
        }
    }
    for (const RecordProblem& problem : file.problems)
        FUZZ_CHECK(problem.number >= 1 && !problem.message.empty());
    return 0;
}
