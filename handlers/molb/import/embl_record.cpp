#include "import/record_parsers.h"

#include "import/text_lines.h"

namespace Dbscout::Molb {
namespace {

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

std::string_view withoutSemicolon(std::string_view token)
{
    while (!token.empty() && (token.back() == ';' || token.back() == '.'))
        token.remove_suffix(1);
    return token;
}

// EMBL:    "ID   X56734; SV 1; linear; mRNA; STD; PLN; 1859 BP."
// UniProt: "ID   CYC_HUMAN               Reviewed;         105 AA."
Status readId(std::string_view line, NewObject& object)
{
    const std::vector<std::string_view> tokens = words(line.substr(2));
    if (tokens.empty() || withoutSemicolon(tokens[0]).empty())
        return bad("the ID line names no entry");
    object.meta[Field::Name] = withoutSemicolon(tokens[0]);
    bool sized = false;
    bool protein = false;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string_view token = withoutSemicolon(tokens[i]);
        const bool counted = wholeNumber(tokens[i - 1]) >= 0;
        if (counted && (token == "BP" || token == "AA")) {
            object.meta[Field::Length] = tokens[i - 1];
            protein = token == "AA";
            sized = true;
        } else if (counted && token == "SQ") {
            sized = true; // a patent family counts its sequences
        } else if (token == "PRT" || token == "protein") {
            protein = true;
        } else if (token == "linear" || token == "circular") {
            object.meta[Field::Topology] = token;
        }
    }
    object.kind = protein ? Kind::Protein : Kind::DnaRna;
    if (!sized)
        return bad("the ID line of \"" + object.meta[Field::Name] +
                   "\" gives no length in BP, AA or SQ");
    return Status::pass();
}

// UniProt's structured description: the full recommended (or submitted) name.
void simplifyDescription(std::string& description)
{
    for (const char* key : {"RecName: Full=", "SubName: Full="}) {
        const size_t start = description.find(key);
        if (start == std::string::npos)
            continue;
        const size_t from = start + std::string_view(key).size();
        const size_t end = description.find(';', from);
        description = description.substr(from, end == std::string::npos ? end : end - from);
        break;
    }
    // Evidence tags: "Cytochrome c {ECO:0000269|PubMed:123}"
    const size_t brace = description.find(" {");
    if (brace != std::string::npos)
        description.erase(brace);
    while (!description.empty() && (description.back() == '.' || description.back() == ';'))
        description.pop_back();
}

} // namespace

Status parseEmblStyleRecord(std::string_view record, NewObject& object)
{
    LineReader lines(record);
    std::string_view line;
    bool idSeen = false;
    while (lines.next(line)) {
        if (startsWith(line, "//"))
            break;
        if (trim(line).empty())
            continue;
        const std::string_view code = line.substr(0, 2);
        if (!idSeen && code != "ID")
            return bad("the record does not start with an ID line");
        if (code == "ID") {
            if (idSeen)
                return bad("a second ID line before the record's \"//\"");
            idSeen = true;
            if (Status status = readId(line, object); !status.ok())
                return status;
        } else if (code == "AC" && object.meta[Field::Accession].empty()) {
            const std::vector<std::string_view> tokens = words(line.substr(2));
            if (!tokens.empty())
                object.meta[Field::Accession] = withoutSemicolon(tokens.front());
        } else if (code == "DE") {
            appendJoined(object.meta[Field::Description], line.substr(2));
        } else if (code == "OS" && object.meta[Field::Organism].empty()) {
            object.meta[Field::Organism] = withoutSemicolon(trim(line.substr(2)));
        }
    }
    if (!idSeen)
        return bad("the record has no ID line");
    simplifyDescription(object.meta[Field::Description]);
    object.metaKnown = true;
    return Status::pass();
}

} // namespace Dbscout::Molb
