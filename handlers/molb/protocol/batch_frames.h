#pragma once
// The standard input of a batch save (command=put&batch=yes): several objects, each with its own
// name, kind, archive name and comment, so that one handler run stores a host's batch of copies.
//
//   molb-batch 1\n
//   SIZE KIND/NAME[?arcname=...&comment=...&force=yes]\n
//   SIZE bytes of the object\n
//   ... (one header and its bytes per object, to the end of the input)
//
// The header after SIZE is the tail of a single save's URL: NAME and arcname percent-escaped,
// comment in the component's escapes, force=yes to store a taken name as a new revision. The
// grammar is in docs/protocol.md.

#include "model/object_kind.h"
#include "model/shared_names.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

inline constexpr std::string_view kBatchFirstLine = "molb-batch 1\n";
inline constexpr size_t kMaxBatchObjects = 10000;

// One object of a batch, as its header names it.
struct BatchObject
{
    Kind kind = Kind::DnaRna;
    std::string name; // percent-decoded, not yet checked as a name to store under
    std::string arcname;
    std::string comment; // decoded
    bool force = false;
    std::string_view bytes; // within the input
};

// Reads every frame of input. A malformed frame fails with BadRequest naming the object's place
// ("object 3") and what is wrong, and objects is then empty: a batch is taken whole or not at all.
Status parseBatchFrames(std::string_view input, std::vector<BatchObject>& objects);

} // namespace Dbscout::Molb
