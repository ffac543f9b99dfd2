#include "answer_readers.h"

#include "utf8.h"
#include "xml_scanner.h"

#include <charconv>

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
    std::string why = scanned.message();
    while (!why.empty() && why.back() == '.')
        why.pop_back();
    return Status::fail(ErrorCode::Failure,
                        std::string("a ") + what + " answer cut short or malformed (" + why + ")");
}

Status unexpected(const char* what, const std::string& root)
{
    return Status::fail(ErrorCode::Failure, std::string("no ") + what + " answer but a document <" +
                                                root.substr(0, 64) + ">");
}

bool isDecimal(std::string_view text)
{
    return !text.empty() && text.size() <= 18 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A UID, or an accession.version as idtype=acc lists them: letters, digits, "_" and ".".
bool isRecordId(std::string_view text)
{
    constexpr std::string_view kIdCharacters =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_.";
    return !text.empty() && text.size() <= 64 &&
           text.find_first_not_of(kIdCharacters) == std::string_view::npos;
}

// A WebEnv is a few dozen characters; more is not NCBI's.
constexpr size_t kMaxHistoryText = 512;

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
                } else if (element.name == "QueryTranslation") {
                    answer.queryTranslation = element.text;
                } else if (element.name == "WebEnv") {
                    answer.webEnv = element.text;
                } else if (element.name == "QueryKey") {
                    answer.queryKey = element.text;
                }
                return;
            }
            if (element.depth != 2)
                return;
            if (element.name == "Id") {
                badId = badId || !isRecordId(element.text);
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
                            "a search answer listing a record id that is no id");
    if (!counted && answer.error.empty())
        return Status::fail(ErrorCode::Failure,
                            "a search answer without the count of the records found");
    if (answer.webEnv.size() > kMaxHistoryText || answer.queryKey.size() > kMaxHistoryText)
        return Status::fail(ErrorCode::Failure, "a search answer with a WebEnv beyond reason");
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
            if (element.name == "ERROR" && (element.depth == 1 || element.depth == 2)) {
                answer.error = element.text;
            } else if (element.depth == 1 && element.name == "DocSum") {
                answer.docs.push_back(std::move(current));
                current = DocSum();
            } else if (element.depth == 2 && element.name == "DocumentSummary") {
                current.uid = element.attribute("uid").value_or(std::string());
                answer.docs.push_back(std::move(current));
                current = DocSum();
            } else if (element.depth == 2 && element.name == "Id") {
                current.uid = element.text;
            } else if (element.depth >= 2 && element.name == "Item") {
                if (std::optional<std::string> name = element.attribute("Name"))
                    current.items.emplace_back(std::move(*name), element.text);
            } else if (element.depth == 3 && element.name == "error") {
                current.error = element.text;
            } else if (element.depth == 3) {
                current.items.emplace_back(std::string(element.name), element.text);
            }
        },
        root);
    if (!scanned.ok())
        return malformed("summary", scanned);
    if (root != "eSummaryResult")
        return unexpected("summary", root);
    return Status::pass();
}

bool historyExpired(std::string_view error)
{
    return error.starts_with("Unable to obtain query");
}

bool unknownRecordsOnly(std::string_view error)
{
    return error.find("cannot get document summary") != std::string_view::npos ||
           error.starts_with("Invalid uid");
}

} // namespace Dbscout::Ncbi
