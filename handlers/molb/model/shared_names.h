#pragma once
// What molb shares with every handler (handlers/common), under molb's own namespace.

#include "credentials.h"
#include "percent_decoding.h"
#include "status.h"
#include "utf8.h"
#include "write_all.h"

namespace Dbscout::Molb {
using namespace Handlers;
} // namespace Dbscout::Molb
