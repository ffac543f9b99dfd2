#include "import/record_parsers.h"

#include "import/text_lines.h"

namespace Dbscout::Molb {
namespace {

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

// "TI  - text": a tag of up to four characters padded with blanks, then "- ".
bool isTagLine(std::string_view line)
{
    return line.size() >= 6 && line.substr(4, 2) == "- " && line[0] != ' ';
}

} // namespace

void splitMedline(std::string_view text, std::vector<std::string_view>& records)
{
    LineReader lines(text);
    std::string_view line;
    size_t start = std::string_view::npos;
    size_t end = 0;
    while (lines.next(line)) {
        const size_t offset = static_cast<size_t>(line.data() - text.data());
        if (trim(line).empty()) {
            if (start != std::string_view::npos)
                records.push_back(text.substr(start, end - start));
            start = std::string_view::npos;
            continue;
        }
        if (start == std::string_view::npos)
            start = offset;
        end = std::min(text.size(), offset + line.size() + 1);
    }
    if (start != std::string_view::npos)
        records.push_back(text.substr(start, end - start));
}

Status parseMedlineRecord(std::string_view record, NewObject& object)
{
    object.kind = Kind::Citation;
    LineReader lines(record);
    std::string_view line;
    std::string tag;
    std::string title;
    std::string journalAbbreviation;
    std::string journalTitle;
    while (lines.next(line)) {
        if (startsWith(line, "      ") && !tag.empty()) {
            if (tag == "TI")
                appendJoined(title, line);
            continue;
        }
        if (!isTagLine(line))
            return bad("line " + std::to_string(lines.lineNumber()) + " is not a MEDLINE field");
        tag = trim(line.substr(0, 4));
        const std::string_view value = trim(line.substr(6));
        if (tag == "PMID") {
            if (wholeNumber(value) < 0)
                return bad("the PMID \"" + std::string(value) + "\" is not a number");
            object.meta[Field::Accession] = value;
        } else if (tag == "TI") {
            appendJoined(title, value);
        } else if (tag == "AU") {
            std::string& authors = object.meta[Field::Authors];
            authors += authors.empty() ? "" : ", ";
            authors += value;
        } else if (tag == "TA") {
            journalAbbreviation = value;
        } else if (tag == "JT") {
            journalTitle = value;
        } else if (tag == "DP" && value.size() >= 4 && wholeNumber(value.substr(0, 4)) >= 0) {
            object.meta[Field::Year] = value.substr(0, 4);
        }
    }
    if (object.meta[Field::Accession].empty())
        return bad("the citation has no PMID");
    object.meta[Field::Name] = "PMID:" + object.meta[Field::Accession];
    if (title.ends_with('.'))
        title.pop_back();
    object.meta[Field::Description] = title;
    object.meta[Field::Journal] = journalAbbreviation.empty() ? journalTitle : journalAbbreviation;
    object.metaKnown = true;
    return Status::pass();
}

} // namespace Dbscout::Molb
