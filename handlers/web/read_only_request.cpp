#include "read_only_request.h"

#include "ascii_text.h"
#include "percent_decoding.h"

#include <algorithm>

namespace Dbscout::Web {
namespace {

using Handlers::ErrorCode;

constexpr std::string_view kWriteCommands[] = {"put", "co", "ci", "unco", "cs", "ochmod", "schmod"};

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

void takeCommand(std::string_view value, ReadOnlyRequest& request)
{
    // The first command other than dir names the operation; what follows it are steps of it.
    if (value == "dir" || !request.commandWord.empty())
        return;
    request.commandWord = value.substr(0, 32);
    if (value == "fetch") {
        request.command = Command::Fetch;
        return;
    }
    request.command = Command::Unknown;
    for (std::string_view word : kWriteCommands) {
        if (value == word)
            request.command = Command::Write;
    }
}

bool isIdCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.';
}

Status takeId(std::string_view id, ReadOnlyRequest& request, const RecordNaming& naming)
{
    if (id.size() > kMaxIdBytes)
        return bad("The record name \"" + std::string(id.substr(0, 16)) + "...\" is longer than " +
                   std::to_string(kMaxIdBytes) + " bytes: use " + std::string(naming.kinds) + ".");
    if (!std::all_of(id.begin(), id.end(), isIdCharacter))
        return bad("\"" + std::string(id.substr(0, kMaxIdBytes)) + "\" is not an " +
                   std::string(naming.service) + " record name: use " +
                   std::string(naming.samples) + ".");
    if (std::none_of(request.ids.begin(), request.ids.end(), [id](const std::string& known) {
            return Handlers::equalsIgnoringCase(known, id);
        }))
        request.ids.emplace_back(id);
    if (request.ids.size() > kMaxIds)
        return bad("The address names more than " + std::to_string(kMaxIds) +
                   " records: open at most " + std::to_string(kMaxIds) + " at a time.");
    return Status::pass();
}

} // namespace

Status takeParameters(std::string_view text, ReadOnlyRequest& request, Handlers::PageLimit limit)
{
    Handlers::ParameterReader reader(text);
    for (Handlers::Parameter parameter; reader.next(parameter);) {
        if (!parameter.hasValue)
            continue;
        if (parameter.name == "command") {
            takeCommand(parameter.value, request);
        } else if (Handlers::isListingParameter(parameter.name)) {
            if (Status status =
                    Handlers::takeListingParameter(parameter.name, parameter.value, request, limit);
                !status.ok())
                return status;
        }
    }
    return Status::pass();
}

Status takeRecordNames(std::string_view raw, ReadOnlyRequest& request, const RecordNaming& naming)
{
    std::string path;
    if (!Handlers::percentDecode(raw, path))
        return bad("The record name in the address holds a malformed percent escape.");
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    for (size_t at = 0; at < path.size();) {
        const size_t comma = std::min(path.find(',', at), path.size());
        if (comma > at) {
            if (Status status =
                    takeId(std::string_view(path).substr(at, comma - at), request, naming);
                !status.ok())
                return status;
        }
        at = comma + 1;
    }
    return Status::pass();
}

} // namespace Dbscout::Web
