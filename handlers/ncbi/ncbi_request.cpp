#include "ncbi_request.h"

#include "ascii_text.h"

namespace Dbscout::Ncbi {
namespace {

using Handlers::equalsIgnoringCase;
using Handlers::ErrorCode;

constexpr std::string_view kScheme = "ncbi://";
constexpr std::string_view kHost = "entrez";
constexpr Web::RecordNaming kNaming{
    "NCBI", "an accession, accession.version or PMID",
    "an accession (NM_000410), accession.version (NM_000410.4) or PMID (16403221)"};

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

Status parsePath(std::string_view path, NcbiRequest& request)
{
    const size_t slash = path.find('/');
    const std::string_view database = path.substr(0, slash);
    request.source = databaseNamed(database);
    if (!request.source)
        return bad(database.empty()
                       ? "The address names no database: use ncbi://entrez/nucleotide/, "
                         "ncbi://entrez/protein/ or ncbi://entrez/pubmed/."
                       : "NCBI has no database \"" + std::string(database.substr(0, 64)) +
                             "\" here: use nucleotide, protein or pubmed.");
    std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    const size_t kindEnd = rest.find('/');
    const std::string_view kind = rest.substr(0, kindEnd);
    if (kind == request.source->kindKeyword) {
        rest = kindEnd == std::string_view::npos ? std::string_view() : rest.substr(kindEnd + 1);
    } else if (kind == "dnarna" || kind == "protein" || kind == "citation" || kind == "blast" ||
               kind == "analysis") {
        return bad("The NCBI " + std::string(request.source->name) + " database holds no " +
                   std::string(kind) + " objects; its kind is " +
                   std::string(request.source->kindKeyword) + ".");
    }
    return Web::takeRecordNames(rest, request, kNaming);
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
    return Web::takeParameters(question == std::string_view::npos ? std::string_view()
                                                                  : text.substr(question + 1),
                               request, kNcbiPageLimit);
}

} // namespace Dbscout::Ncbi
