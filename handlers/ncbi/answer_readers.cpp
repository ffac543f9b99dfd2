#include "answer_readers.h"

#include "utf8.h"
#include "xml_scanner.h"

#include <charconv>
#include <strings.h>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;
using Handlers::XmlElement;

// Older answers declare ISO-8859-1; their bytes are made UTF-8 before anything reads them. An
// answer that declares it but is valid UTF-8 already is left as it is.
std::string utf8Document(std::string_view bytes)
{
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    const bool latin1 =
        bytes.starts_with("<?xml") && (declaration.find("ISO-8859-1") != std::string_view::npos ||
                                       declaration.find("iso-8859-1") != std::string_view::npos);
    if (!latin1 || Handlers::isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

Status malformed(const char* what, const Status& scanned)
{
    return Status::fail(ErrorCode::Failure, std::string("NCBI's ") + what +
                                                " answer is cut short or malformed (" +
                                                scanned.message() + ") Please try again.");
}

Status unexpected(const char* what, const std::string& root)
{
    return Status::fail(ErrorCode::Failure, std::string("NCBI sent no ") + what +
                                                " answer (its document is <" + root.substr(0, 64) +
                                                ">). Please try again.");
}

bool isDecimal(std::string_view text)
{
    return !text.empty() && text.size() <= 18 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

const std::string kNothing;

} // namespace

const std::string& DocSum::item(std::string_view name) const
{
    for (const auto& [itemName, value] : items) {
        if (itemName == name)
            return value;
    }
    return kNothing;
}

Status readSearchAnswer(std::string_view bytes, SearchAnswer& answer)
{
    answer = SearchAnswer();
    bool counted = false;
    bool badId = false;
    std::string root;
    const Status scanned = Handlers::scanXmlElements(
        utf8Document(bytes),
        [&](const XmlElement& element) {
            if (element.depth == 1) {
                if (element.name == "Count") {
                    counted = isDecimal(element.text);
                    if (counted)
                        std::from_chars(element.text.data(),
                                        element.text.data() + element.text.size(), answer.count);
                } else if (element.name == "ERROR") {
                    answer.error = element.text;
                }
                return;
            }
            if (element.depth != 2)
                return;
            if (element.name == "Id") {
                badId = badId || !isDecimal(element.text);
                answer.ids.push_back(element.text);
            } else if (element.name == "PhraseNotFound" || element.name == "FieldNotFound" ||
                       element.name == "QuotedPhraseNotFound") {
                answer.notFound.push_back(element.text);
            } else if (element.name == "OutputMessage" || element.name == "PhraseIgnored") {
                answer.warnings.push_back(element.text);
            }
        },
        root);
    if (!scanned.ok())
        return malformed("search", scanned);
    if (root != "eSearchResult")
        return unexpected("search", root);
    if (badId)
        return Status::fail(ErrorCode::Failure,
                            "NCBI's search answer lists a record id that is not a number.");
    if (!counted && answer.error.empty())
        return Status::fail(ErrorCode::Failure,
                            "NCBI's search answer gives no count of the records found.");
    return Status::pass();
}

Status readSummaryAnswer(std::string_view bytes, SummaryAnswer& answer)
{
    answer = SummaryAnswer();
    DocSum current;
    std::string root;
    const Status scanned = Handlers::scanXmlElements(
        utf8Document(bytes),
        [&](const XmlElement& element) {
            if (element.depth == 1 && element.name == "DocSum") {
                answer.docs.push_back(std::move(current));
                current = DocSum();
            } else if (element.depth == 1 && element.name == "ERROR") {
                answer.error = element.text;
            } else if (element.depth == 2 && element.name == "Id") {
                current.uid = element.text;
            } else if (element.depth >= 2 && element.name == "Item") {
                if (std::optional<std::string> name = element.attribute("Name"))
                    current.items.emplace_back(std::move(*name), element.text);
            }
        },
        root);
    if (!scanned.ok())
        return malformed("summary", scanned);
    if (root != "eSummaryResult")
        return unexpected("summary", root);
    return Status::pass();
}

} // namespace Dbscout::Ncbi
