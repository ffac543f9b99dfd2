#include "ncbi_request.h"

#include "ascii_text.h"
#include "percent_decoding.h"

#include <algorithm>

namespace Dbscout::Ncbi {
namespace {

using Handlers::equalsIgnoringCase;
using Handlers::ErrorCode;

constexpr std::string_view kScheme = "ncbi://";
constexpr std::string_view kHost = "entrez";
constexpr std::string_view kWriteCommands[] = {"put", "co", "ci", "unco", "cs", "ochmod", "schmod"};

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

void takeCommand(std::string_view value, NcbiRequest& request)
{
    // The first command other than dir names the operation; what follows it are steps of it.
    if (value == "dir" || !request.commandWord.empty())
        return;
    request.commandWord = value.substr(0, 32);
    if (value == "fetch") {
        request.command = Command::Fetch;
        return;
    }
    request.command = Command::Unknown;
    for (std::string_view word : kWriteCommands) {
        if (value == word)
            request.command = Command::Write;
    }
}

Status takeParameter(std::string_view name, std::string_view value, NcbiRequest& request)
{
    if (name == "command") {
        takeCommand(value, request);
    } else if (Handlers::isListingParameter(name)) {
        return Handlers::takeListingParameter(
            name, value, request, {kMaxPageSize, " for NCBI databases", kMaxNcbiQueryBytes});
    }
    // Everything else (user=, pass=, writable=, the operations' options) means nothing here.
    return Status::pass();
}

Status parseParameters(std::string_view text, NcbiRequest& request)
{
    Handlers::ParameterReader reader(text);
    for (Handlers::Parameter parameter; reader.next(parameter);) {
        if (!parameter.hasValue)
            continue;
        Status status = takeParameter(parameter.name, parameter.value, request);
        if (!status.ok())
            return status;
    }
    return Status::pass();
}

bool isIdCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.';
}

Status takeId(std::string_view id, NcbiRequest& request)
{
    if (id.size() > kMaxIdBytes)
        return bad("The record name \"" + std::string(id.substr(0, 16)) + "...\" is longer than " +
                   std::to_string(kMaxIdBytes) +
                   " bytes: use an accession, accession.version or PMID.");
    for (char c : id) {
        if (!isIdCharacter(c))
            return bad("\"" + std::string(id.substr(0, kMaxIdBytes)) +
                       "\" is not an NCBI record name: use an accession (NM_000410), "
                       "accession.version (NM_000410.4) or PMID (16403221).");
    }
    if (std::none_of(request.ids.begin(), request.ids.end(),
                     [id](const std::string& known) { return equalsIgnoringCase(known, id); }))
        request.ids.emplace_back(id);
    if (request.ids.size() > kMaxIds)
        return bad("The address names more than " + std::to_string(kMaxIds) +
                   " records: open at most " + std::to_string(kMaxIds) + " at a time.");
    return Status::pass();
}

// The record names of the path: one, or several joined by ",".
Status parseIds(std::string_view raw, NcbiRequest& request)
{
    std::string path;
    if (!Handlers::percentDecode(raw, path))
        return bad("The record name in the address holds a malformed percent escape.");
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    for (size_t at = 0; at < path.size();) {
        const size_t comma = std::min(path.find(',', at), path.size());
        if (comma > at) {
            if (Status status = takeId(std::string_view(path).substr(at, comma - at), request);
                !status.ok())
                return status;
        }
        at = comma + 1;
    }
    return Status::pass();
}

Status parsePath(std::string_view path, NcbiRequest& request)
{
    const size_t slash = path.find('/');
    const std::string_view database = path.substr(0, slash);
    request.database = databaseNamed(database);
    if (!request.database)
        return bad(database.empty()
                       ? "The address names no database: use ncbi://entrez/nucleotide/, "
                         "ncbi://entrez/protein/ or ncbi://entrez/pubmed/."
                       : "NCBI has no database \"" + std::string(database.substr(0, 64)) +
                             "\" here: use nucleotide, protein or pubmed.");
    std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    const size_t kindEnd = rest.find('/');
    const std::string_view kind = rest.substr(0, kindEnd);
    if (kind == request.database->kindKeyword) {
        rest = kindEnd == std::string_view::npos ? std::string_view() : rest.substr(kindEnd + 1);
    } else if (kind == "dnarna" || kind == "protein" || kind == "citation" || kind == "blast" ||
               kind == "analysis") {
        return bad("The NCBI " + std::string(request.database->name) + " database holds no " +
                   std::string(kind) + " objects; its kind is " +
                   std::string(request.database->kindKeyword) + ".");
    }
    return parseIds(rest, request);
}

} // namespace

Status parseNcbiRequest(std::string_view text, NcbiRequest& request)
{
    request = NcbiRequest();
    if (text.size() < kScheme.size() ||
        !equalsIgnoringCase(text.substr(0, kScheme.size()), kScheme))
        return bad("Not an NCBI request: the address must start with ncbi://entrez/.");
    text.remove_prefix(kScheme.size());
    const size_t question = text.find('?');
    const std::string_view address = text.substr(0, question);
    const size_t slash = address.find('/');
    std::string_view host = address.substr(0, slash);
    host = host.substr(host.rfind('@') == std::string_view::npos ? 0 : host.rfind('@') + 1);
    if (!equalsIgnoringCase(host, kHost))
        return bad("The NCBI address must name the host entrez, as in ncbi://entrez/pubmed/.");
    Status status = parsePath(
        slash == std::string_view::npos ? std::string_view() : address.substr(slash + 1), request);
    if (!status.ok())
        return status;
    return parseParameters(question == std::string_view::npos ? std::string_view()
                                                              : text.substr(question + 1),
                           request);
}

} // namespace Dbscout::Ncbi
