#include "import/record_parsers.h"

#include "import/text_lines.h"

namespace Dbscout::Molb {
namespace {

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

// "LOCUS       SCU49845     5028 bp    DNA     circular PLN  21-JUN-1999"
Status readLocus(std::string_view line, NewObject& object)
{
    const std::vector<std::string_view> tokens = words(line);
    if (tokens.size() < 2)
        return bad("the LOCUS line names no locus");
    object.meta[Field::Name] = tokens[1];
    bool sized = false;
    for (size_t i = 2; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        const bool counted = i > 2 && wholeNumber(tokens[i - 1]) >= 0;
        if (counted && (token == "bp" || token == "aa")) {
            object.meta[Field::Length] = tokens[i - 1];
            object.kind = token == "aa" ? Kind::Protein : Kind::DnaRna;
            sized = true;
        } else if (counted && token == "rc") {
            // A master record of a sequencing project counts records, not bases.
            object.kind = Kind::DnaRna;
            sized = true;
        } else if (token == "linear" || token == "circular") {
            object.meta[Field::Topology] = token;
        }
    }
    if (!sized)
        return bad("the LOCUS line of \"" + object.meta[Field::Name] +
                   "\" gives no length in bp, aa or rc");
    return Status::pass();
}

} // namespace

Status parseGenBankRecord(std::string_view record, NewObject& object)
{
    LineReader lines(record);
    std::string_view line;
    bool locusSeen = false;
    bool inDefinition = false;
    while (lines.next(line)) {
        if (startsWith(line, "//"))
            break;
        const bool continuation = startsWith(line, " ");
        if (inDefinition && continuation && !startsWith(trim(line), "ORGANISM")) {
            appendJoined(object.meta[Field::Description], line);
            continue;
        }
        inDefinition = false;
        if (startsWith(line, "LOCUS")) {
            if (locusSeen)
                return bad("a second LOCUS line before the record's \"//\"");
            locusSeen = true;
            if (Status status = readLocus(line, object); !status.ok())
                return status;
        } else if (!locusSeen && !trim(line).empty()) {
            return bad("the record does not start with a LOCUS line");
        } else if (startsWith(line, "DEFINITION")) {
            appendJoined(object.meta[Field::Description], line.substr(10));
            inDefinition = true;
        } else if (startsWith(line, "ACCESSION")) {
            const std::vector<std::string_view> tokens = words(line.substr(9));
            if (!tokens.empty())
                object.meta[Field::Accession] = tokens.front();
        } else if (startsWith(trim(line), "ORGANISM") && object.meta[Field::Organism].empty()) {
            object.meta[Field::Organism] = trim(trim(line).substr(8));
        }
    }
    if (!locusSeen)
        return bad("the record has no LOCUS line");
    if (object.meta[Field::Description].ends_with('.'))
        object.meta[Field::Description].pop_back();
    object.metaKnown = true;
    return Status::pass();
}

} // namespace Dbscout::Molb
