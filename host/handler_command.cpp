#include "handler_command.h"

#include <dbscout/registry.h>

#include <algorithm>

namespace {

// The text inside the pair-th pair of double quotes (0-based).
bool quotedField(const std::string& command, int pair, std::string& field)
{
    size_t from = 0;
    for (int i = 0;; ++i) {
        const size_t open = command.find('"', from);
        const size_t close = open == std::string::npos ? open : command.find('"', open + 1);
        if (close == std::string::npos)
            return false;
        if (i == pair) {
            field = command.substr(open + 1, close - open - 1);
            return true;
        }
        from = close + 1;
    }
}

} // namespace

HandlerCommand splitHandlerCommand(const std::string& command, const std::string& url)
{
    HandlerCommand result;
    std::string program;
    std::string pattern;
    if (!quotedField(command, 0, program) || program.empty() || !quotedField(command, 1, pattern)) {
        result.error = QStringLiteral("the registered command is not of the form "
                                      "\"<program>\" \"<arguments>\": %1")
                           .arg(QString::fromLocal8Bit(command));
        return result;
    }
    std::string arguments;
    for (size_t at = 0;;) {
        const size_t mark = pattern.find("%1", at);
        arguments.append(pattern, at, mark == std::string::npos ? mark : mark - at);
        if (mark == std::string::npos)
            break;
        arguments += url;
        at = mark + 2;
    }
    result.program = QString::fromLocal8Bit(program);
    if (!arguments.empty())
        result.arguments << QString::fromLocal8Bit(arguments);
    return result;
}

HandlerCommand handlerCommandFor(const std::string& url, const char* verb)
{
    const size_t colon = url.find(':');
    const std::string scheme = colon == std::string::npos ? std::string() : url.substr(0, colon);
    HandlerCommand missing;
    missing.error = QStringLiteral("no handler program is registered for \"%1\" (verb %2)")
                        .arg(QString::fromStdString(scheme), QString::fromLatin1(verb));
    if (scheme.empty())
        return missing;
    const std::string key = scheme + "\\shell\\" + verb + "\\command";
    Dbscout::RegKey command;
    if (command.open(HKEY_CLASSES_ROOT, key.c_str()) != ERROR_SUCCESS)
        return missing;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(command.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return missing;
    std::string text(size, '\0');
    if (RegQueryValueExA(command.get(), nullptr, nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return missing;
    text.resize(std::min<size_t>(size, text.size()));
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return splitHandlerCommand(text, url);
}
