#pragma once
// What the request URLs of the read-only web handlers (ncbi, ebi) share beyond the scheme's own
// path: the record names after the source, joined by ",", the command, and the listing's query
// and page. The web services' databases are read-only: every command that writes is one kind of
// refusal.

#include "request_parameters.h"
#include "status.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Web {

using Handlers::Status;

inline constexpr size_t kMaxIdBytes = 64;
// The most records one fetch names (the panel's name box joins a selection with ",").
inline constexpr size_t kMaxIds = 1000;

enum class Command {
    Dir,
    Fetch,
    Write,   // put, co, ci, unco, cs, ochmod, schmod
    Unknown, // any other word
};

struct ReadOnlyRequest : Handlers::ListingParameters
{
    std::vector<std::string> ids; // the record names of the path, each once
    Command command = Command::Dir;
    std::string commandWord; // the first command other than dir, as written
};

// The request of a handler whose addresses name one of its sources, Source its description.
template <typename Source> struct SourceRequest : ReadOnlyRequest
{
    const Source* source = nullptr; // none until the address names one
};

// How a service's records are named, for the messages that refuse other names.
struct RecordNaming
{
    std::string_view service; // "NCBI"
    std::string_view kinds;   // "an accession, accession.version or PMID"
    std::string_view samples; // the kinds with an example each
};

// Reads the parameters text (after "?"): command=, and the listing's within limit. Everything
// else (user=, pass=, the operations' options) means nothing to a read-only source.
Status takeParameters(std::string_view text, ReadOnlyRequest& request, Handlers::PageLimit limit);

// Reads the record names of a path's rest (percent-encoded, joined by ","; a name of letters,
// digits, "_" and "." only), each once whatever its letter case.
Status takeRecordNames(std::string_view raw, ReadOnlyRequest& request, const RecordNaming& naming);

} // namespace Dbscout::Web
