#include "request/handler_command.h"

#include "platform/ascii_case.h"

namespace Dbscout {

namespace {

// The text between the quote pair that starts at the n-th double quote (0-based, even).
bool quotedField(const std::string& command, int pair, std::string& field)
{
    size_t open = std::string::npos;
    size_t close = std::string::npos;
    size_t from = 0;
    for (int i = 0; i <= pair; ++i) {
        open = command.find('"', from);
        if (open == std::string::npos)
            return false;
        close = command.find('"', open + 1);
        if (close == std::string::npos)
            return false;
        from = close + 1;
    }
    field = command.substr(open + 1, close - open - 1);
    return true;
}

} // namespace

std::string HandlerProgramPath(const std::string& command)
{
    std::string program;
    quotedField(command, 0, program);
    return program;
}

std::string HandlerArguments(const std::string& command, const std::string& url)
{
    std::string pattern;
    if (!quotedField(command, 1, pattern))
        return {};
    std::string arguments;
    for (size_t at = 0;;) {
        const size_t mark = pattern.find("%1", at);
        arguments.append(pattern, at, mark == std::string::npos ? std::string::npos : mark - at);
        if (mark == std::string::npos)
            return arguments;
        arguments += url;
        at = mark + 2;
    }
}

const std::string& handlerCommandForUrl(const std::string& url, const std::string& molbCommand,
                                        const std::string& ncbiCommand)
{
    static const std::string kNone;
    if (startsWithAsciiNoCase(url, "ncbi"))
        return ncbiCommand;
    if (startsWithAsciiNoCase(url, "molb"))
        return molbCommand;
    return kNone;
}

} // namespace Dbscout
