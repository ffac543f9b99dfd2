#include "handler_command.h"

#include <dbscout/handlers.h>

HandlerCommand handlerCommandFor(const std::string& url, const char* verb)
{
    const size_t colon = url.find(':');
    const std::string scheme = colon == std::string::npos ? std::string() : url.substr(0, colon);
    HandlerCommand result;
    std::string command;
    if (scheme.empty() || !Dbscout::LookupHandlerCommand(scheme, verb, command)) {
        result.error = QStringLiteral("no handler program is registered for \"%1\" (verb %2)")
                           .arg(QString::fromStdString(scheme), QString::fromLatin1(verb));
        return result;
    }
    // The panel's own reading of the command, so that the demo runs what the panel would.
    const std::string program = Dbscout::HandlerProgramPath(command);
    const std::string arguments = Dbscout::HandlerArguments(command, url);
    if (program.empty() || arguments.empty()) {
        result.error = QStringLiteral("the registered command is not of the form "
                                      "\"<program>\" \"<arguments with %1>\": ") +
                       QString::fromLocal8Bit(command);
        return result;
    }
    result.program = QString::fromLocal8Bit(program);
    result.arguments << QString::fromLocal8Bit(arguments);
    return result;
}
