#include "ebi_source.h"

#include "ascii_text.h"

namespace Dbscout::Ebi {

using Handlers::Status;

namespace {

using Handlers::ErrorCode;

constexpr std::string_view kScheme = "ebi://";
constexpr std::string_view kKinds[] = {"dnarna", "protein", "citation", "blast", "analysis"};

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

Web::RecordNaming namingOf(const SourceInfo& source)
{
    return source.source == Source::UniProtKB
               ? Web::RecordNaming{"UniProtKB", "an accession or entry name",
                                   "an accession (P01308) or entry name (INS_HUMAN)"}
               : Web::RecordNaming{"ENA", "an accession or accession.version",
                                   "an accession (X56734) or accession.version (X56734.1)"};
}

} // namespace

Status parseEbiRequest(std::string_view text, EbiRequest& request)
{
    request = EbiRequest();
    if (!Handlers::startsWithIgnoringCase(text, kScheme))
        return bad("Not an EBI request: the address must start with ebi://uniprotkb/ or "
                   "ebi://ena/.");
    text.remove_prefix(kScheme.size());
    const size_t question = text.find('?');
    std::string_view path = text.substr(0, question);
    const size_t slash = path.find('/');
    std::string_view name = path.substr(0, slash);
    name = name.substr(name.rfind('@') == std::string_view::npos ? 0 : name.rfind('@') + 1);
    request.source = sourceNamed(name);
    if (!request.source)
        return bad(name.empty() ? "The address names no EBI source: use ebi://uniprotkb/ or "
                                  "ebi://ena/."
                                : "EBI has no source \"" + std::string(name.substr(0, 64)) +
                                      "\" here: use uniprotkb or ena.");
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    const std::string_view kind = path.substr(0, path.find('/'));
    if (kind == request.source->kindKeyword) {
        path = path.find('/') == std::string_view::npos ? std::string_view()
                                                        : path.substr(path.find('/') + 1);
    } else {
        for (std::string_view other : kKinds) {
            if (kind == other)
                return bad(std::string(request.source->sourceName) + " holds no " +
                           std::string(kind) + " objects; its kind is " +
                           std::string(request.source->kindKeyword) + ".");
        }
    }
    if (Status status = Web::takeRecordNames(path, request, namingOf(*request.source));
        !status.ok())
        return status;
    return Web::takeParameters(question == std::string_view::npos ? std::string_view()
                                                                  : text.substr(question + 1),
                               request, kEbiPageLimit);
}

} // namespace Dbscout::Ebi
