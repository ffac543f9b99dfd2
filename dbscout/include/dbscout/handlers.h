#pragma once
// The handler programs registered for URL schemes, found and taken apart as the panel does it, so
// that a host that runs a handler itself (to fetch an object it was given, say) runs the same
// program with the same argument. A registered command has the form
// "<program path>" "<arguments>", the arguments holding %1 where the request URL goes.

#include <dbscout/export.h>

#include <string>

namespace Dbscout {

// Reads the default value of HKEY_CLASSES_ROOT\<scheme>\shell\<verb>\command (a string of at
// most 1024 bytes with its NUL; of a multi-string the first) into command. Returns false, with
// command unchanged, when a key or the value is missing, of another type, too long or not
// terminated.
DBSCOUT_EXPORT bool LookupHandlerCommand(const std::string& scheme, const std::string& verb,
                                         std::string& command);

// The text inside the first pair of double quotes, or empty.
DBSCOUT_EXPORT std::string HandlerProgramPath(const std::string& command);

// The text inside the second pair of double quotes with every %1 replaced by url, or empty. The
// handler gets it, unchanged, as its one argument.
DBSCOUT_EXPORT std::string HandlerArguments(const std::string& command, const std::string& url);

} // namespace Dbscout
