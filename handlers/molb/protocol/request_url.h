#pragma once
// The request URL a handler is started with: molb://HOST/DB[/KIND][/LAST]?PARAMS. The grammar is
// in docs/protocol.md.

#include "model/names.h"
#include "model/object_kind.h"
#include "model/shared_names.h"
#include "model/store.h"
#include "request_parameters.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

inline constexpr int kMaxPageSize = 1000;
inline constexpr size_t kMaxNameBytes = 1024;

enum class Command {
    Dir,
    Fetch,
    Put,
    CheckOut,     // co
    CheckIn,      // ci
    UndoCheckOut, // unco
    CreateSubset, // cs
    ObjectMode,   // ochmod
    SubsetMode,   // schmod
};

inline constexpr size_t kMaxCommentBytes = 4096;

// The listing's query, start and page size come from the handlers' shared reading.
struct RequestUrl : Handlers::ListingParameters
{
    std::string host;     // "local", or a server (not served yet)
    std::string database; // letters, digits, "_", "-" and "."; never "." or ".." or hidden
    std::optional<Kind> kind;
    std::string last;               // the rest of the path, percent-decoded; empty when absent
    Command command = Command::Dir; // the first command other than dir
    std::string operation;          // a command this handler does not know; empty when none
    bool checkOutAfter = false;     // command=fetch...&command=co
    bool checkInAfter = false;      // command=put...&command=ci

    bool credentialsGiven = false;
    std::string user; // raw, as the panel writes it
    std::string password;
    bool writableOnly = false;
    bool force = false;
    bool batch = false;     // batch=yes: a put whose input holds several objects (batch_frames.h)
    bool newSubset = false; // newsubset=yes: a batch save makes its subset where it is missing
    std::string arcname;    // percent-decoded

    // The parameters of the object operations.
    bool descendantsOut = false; // descendant=co
    bool descendantsIn = false;  // descendant=ci
    DescendantMode pdmode = DescendantMode::Leave;
    bool pderrorDisconnect = false;
    std::string comment;    // decoded from the component's escaped form
    std::string objmode;    // raw
    std::string subsetmode; // raw
    std::string subset;     // raw, to the end of the URL (it may hold "&")
    int revision = 0;       // revision=; 0 when absent
};

// Parses text; a malformed URL fails with BadRequest and a message naming the fault.
Status parseRequestUrl(std::string_view text, RequestUrl& url);

// The reverse of what the panel does to object names: letters, digits, ":", "," and "/" stay.
std::string percentEncodeName(std::string_view text);

} // namespace Dbscout::Molb
