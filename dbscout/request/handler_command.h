#pragma once
// Registered handler commands: finding the command of a scheme and verb, and taking the program
// path and argument text out of it. A command has the form "<program path>" "<arguments>", the
// arguments holding %1 where the request URL goes.

#include <string>

namespace Dbscout {

// Reads the default value of HKEY_CLASSES_ROOT\<scheme>\shell\<verb>\command (a string of at
// most 1024 bytes with its NUL; of a multi-string the first) into command. Returns false, with
// command unchanged, when a key or the value is missing, of another type, too long or not
// terminated. Runs on the user-interface thread.
bool LookupHandlerCommand(const std::string& scheme, const std::string& verb, std::string& command);

// The text inside the first pair of double quotes, or empty.
std::string HandlerProgramPath(const std::string& command);

// The text inside the second pair of double quotes with every %1 replaced by url, or empty.
std::string HandlerArguments(const std::string& command, const std::string& url);

// The command that serves url, chosen by its first four characters ("ncbi" or "molb", in any
// case); empty for any other URL.
const std::string& handlerCommandForUrl(const std::string& url, const std::string& molbCommand,
                                        const std::string& ncbiCommand);

} // namespace Dbscout
