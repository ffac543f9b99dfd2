#include "import/record_parsers.h"

#include "import/text_lines.h"

namespace Dbscout::Molb {
namespace {

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

bool isSequenceCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '*' || c == '-' || c == '.';
}

// "sp|P69905|HBA_HUMAN" gives P69905, "gi|5524211|gb|AAD44166.1|" gives AAD44166.1.
std::string accessionOf(std::string_view identifier)
{
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t bar = identifier.find('|', start);
        fields.push_back(
            identifier.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    if (fields.size() == 1)
        return std::string(identifier);
    if (fields[0] == "gi" && fields.size() >= 4)
        return std::string(fields[3]);
    return std::string(fields[1]);
}

} // namespace

bool looksLikeNucleotides(std::string_view letters)
{
    size_t nucleotides = 0;
    size_t total = 0;
    for (char c : letters) {
        if (c == '-' || c == '*' || c == '.')
            continue;
        ++total;
        switch (c | 0x20) {
        case 'a':
        case 'c':
        case 'g':
        case 't':
        case 'u':
        case 'n':
            ++nucleotides;
            break;
        default:
            break;
        }
    }
    return total > 0 && nucleotides * 10 >= total * 9;
}

void splitFasta(std::string_view text, std::vector<std::string_view>& records)
{
    size_t start = text.find('>');
    while (start != std::string_view::npos) {
        const size_t next = text.find("\n>", start);
        const size_t end = next == std::string_view::npos ? text.size() : next + 1;
        records.push_back(text.substr(start, end - start));
        start = next == std::string_view::npos ? next : next + 1;
    }
}

Status parseFastaRecord(std::string_view record, NewObject& object)
{
    LineReader lines(record);
    std::string_view header;
    if (!lines.next(header) || !startsWith(header, ">"))
        return bad("the record does not start with \">\"");
    const std::vector<std::string_view> tokens = words(header.substr(1));
    if (tokens.empty())
        return bad("the header line names no sequence");
    object.meta[Field::Name] = tokens[0];
    object.meta[Field::Accession] = accessionOf(tokens[0]);
    // Whatever follows the identifier on its line, however the line is spaced or ended.
    const size_t identifierEnd =
        static_cast<size_t>(tokens[0].data() - header.data()) + tokens[0].size();
    object.meta[Field::Description] = trim(header.substr(identifierEnd));
    std::string letters;
    std::string_view line;
    while (lines.next(line)) {
        for (char c : line) {
            if (isSequenceCharacter(c))
                letters += c;
            else if (c != ' ' && c != '\t')
                return bad("line " + std::to_string(lines.lineNumber()) + " of \"" +
                           object.meta[Field::Name] + "\" holds \"" + std::string(1, c) +
                           "\", which is no sequence letter");
        }
    }
    if (letters.empty())
        return bad("\"" + object.meta[Field::Name] + "\" has no sequence");
    size_t residues = 0;
    for (char c : letters)
        residues += c != '-' && c != '.' && c != '*';
    object.meta[Field::Length] = std::to_string(residues);
    object.kind = looksLikeNucleotides(letters) ? Kind::DnaRna : Kind::Protein;
    object.metaKnown = true;
    return Status::pass();
}

} // namespace Dbscout::Molb
