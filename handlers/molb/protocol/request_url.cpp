#include "protocol/request_url.h"

#include "percent_encoding.h"
#include "protocol/comment_text.h"

#include <strings.h>

namespace Dbscout::Molb {
namespace {

constexpr std::string_view kScheme = "molb://";

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

struct CommandWord
{
    std::string_view word;
    Command command;
};

constexpr CommandWord kCommands[] = {
    {"fetch", Command::Fetch},       {"put", Command::Put},           {"co", Command::CheckOut},
    {"ci", Command::CheckIn},        {"unco", Command::UndoCheckOut}, {"cs", Command::CreateSubset},
    {"ochmod", Command::ObjectMode}, {"schmod", Command::SubsetMode},
};

Status takeCommand(std::string_view value, RequestUrl& url, bool& operationChosen)
{
    // "dir" only asks for the listing after the operation. The first other command names the
    // operation; a check-out after a fetch and a check-in after a save are steps of it.
    if (value == "dir")
        return Status::pass();
    if (value.empty() || value.size() > 32)
        return bad("The command= parameter is empty or too long.");
    if (operationChosen) {
        // Once each: the panel never repeats one, so a repeat is a malformed request.
        if (url.command == Command::Fetch && value == "co" && !url.checkOutAfter)
            url.checkOutAfter = true;
        else if (url.command == Command::Put && value == "ci" && !url.checkInAfter)
            url.checkInAfter = true;
        else
            return bad("The command \"" + std::string(value) + "\" cannot follow another command.");
        return Status::pass();
    }
    operationChosen = true;
    for (const CommandWord& known : kCommands) {
        if (known.word == value) {
            url.command = known.command;
            return Status::pass();
        }
    }
    url.operation = value;
    return Status::pass();
}

Status takeOperationParameter(std::string_view name, std::string_view value, RequestUrl& url)
{
    if (name == "descendant") {
        if (value != "co" && value != "ci")
            return bad("The descendant= parameter must be co or ci.");
        (value == "co" ? url.descendantsOut : url.descendantsIn) = true;
    } else if (name == "pdmode") {
        if (value != "reconstruct" && value != "disconnect")
            return bad("The pdmode= parameter must be reconstruct or disconnect.");
        url.pdmode =
            value == "reconstruct" ? DescendantMode::Reconstruct : DescendantMode::Disconnect;
    } else if (name == "pderror") {
        if (value != "disconnect")
            return bad("The pderror= parameter must be disconnect.");
        url.pderrorDisconnect = true;
    } else if (name == "comment") {
        // Raw apart from the comment escapes: the component leaves "%" as it is.
        if (value.size() > kMaxCommentBytes)
            return bad("The comment is longer than " + std::to_string(kMaxCommentBytes) +
                       " bytes.");
        if (!unescapeComment(value, url.comment))
            return bad("The comment= parameter holds a backslash that starts no escape.");
        if (url.comment.find('\0') != std::string::npos)
            return bad("The comment= parameter contains a NUL byte.");
    } else if (name == "objmode") {
        url.objmode = value;
    } else if (name == "subsetmode") {
        url.subsetmode = value;
    } else if (name == "revision") {
        std::int64_t number = 0;
        if (!parseWhole(value, number) || number < 1 || number > 1000000000)
            return bad("The revision= parameter must be a whole number from 1.");
        url.revision = static_cast<int>(number);
    }
    // Unknown parameters are ignored.
    return Status::pass();
}

Status takeParameter(std::string_view name, std::string_view value, RequestUrl& url,
                     bool& operationChosen)
{
    if (name == "command")
        return takeCommand(value, url, operationChosen);
    if (isListingParameter(name))
        return takeListingParameter(name, value, url, {kMaxPageSize, ""});
    if (name == "arcname") {
        Status status = decodeParameter(name, value, url.arcname);
        if (status.ok() && url.arcname.size() > kMaxNameBytes)
            return bad("The archive name is longer than " + std::to_string(kMaxNameBytes) +
                       " bytes.");
        return status;
    }
    // Credentials are raw: the panel writes them unescaped, so "%" is an ordinary character.
    if (name == "user") {
        url.credentialsGiven = true;
        url.user = value;
    } else if (name == "pass") {
        url.password = value;
    } else if (name == "writable") {
        url.writableOnly = value == "yes";
    } else if (name == "force") {
        url.force = value == "yes";
    } else if (name == "batch") {
        url.batch = value == "yes";
    } else if (name == "newsubset") {
        url.newSubset = value == "yes";
    } else {
        return takeOperationParameter(name, value, url);
    }
    return Status::pass();
}

// The new subset's name (query= of command=cs) and subset= of command=schmod come raw and last:
// they run to the end of the URL, so a name may hold "&".
bool runsToTheEnd(std::string_view name, const RequestUrl& url)
{
    return name == "subset" || (name == "query" && url.command == Command::CreateSubset);
}

Status takeRawName(std::string_view name, std::string_view value, RequestUrl& url)
{
    if (value.find('\0') != std::string_view::npos)
        return bad("The " + std::string(name) + "= parameter contains a NUL byte.");
    if (value.size() > kMaxQueryBytes)
        return bad("The " + std::string(name) + "= parameter is longer than " +
                   std::to_string(kMaxQueryBytes) + " bytes.");
    if (name == "subset")
        url.subset = value;
    else
        url.query = std::string(value);
    return Status::pass();
}

Status parseQueryString(std::string_view text, RequestUrl& url)
{
    bool operationChosen = false;
    ParameterReader reader(text);
    for (Parameter parameter; reader.next(parameter);) {
        if (parameter.hasValue && runsToTheEnd(parameter.name, url))
            return takeRawName(parameter.name, reader.valueToTheEnd(parameter), url);
        Status status = takeParameter(parameter.name, parameter.value, url, operationChosen);
        if (!status.ok())
            return status;
    }
    return Status::pass();
}

Status parseAuthority(std::string_view authority, RequestUrl& url)
{
    // user:password@host, as a typed address may carry them; parameters take precedence.
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const size_t colon = userInfo.find(':');
        url.credentialsGiven = true;
        url.user = userInfo.substr(0, colon);
        if (colon != std::string_view::npos)
            url.password = userInfo.substr(colon + 1);
        authority = authority.substr(at + 1);
    }
    if (authority.empty())
        return bad("The address names no host; use molb://local/DATABASE/KIND/.");
    url.host = authority;
    return Status::pass();
}

Status parsePath(std::string_view path, RequestUrl& url)
{
    const size_t slash = path.find('/');
    const std::string_view database = path.substr(0, slash);
    if (database.empty()) {
        const std::string host = url.host.size() <= kMaxShownBytes ? url.host : "HOST";
        return bad("The address names no database; use molb://" + host + "/DATABASE/KIND/.");
    }
    if (!isValidDatabaseName(database))
        return bad("The database name " + quotedForMessage(database) +
                   " is not valid: use letters, digits, \"_\", \"-\" and \".\", not starting "
                   "with \".\".");
    url.database = database;
    std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    const size_t kindEnd = rest.find('/');
    if (std::optional<Kind> kind = kindFromKeyword(rest.substr(0, kindEnd))) {
        url.kind = kind;
        rest = kindEnd == std::string_view::npos ? std::string_view() : rest.substr(kindEnd + 1);
    }
    if (!percentDecode(rest, url.last))
        return bad("The object name in the address holds a malformed percent escape.");
    if (url.last.find('\0') != std::string::npos)
        return bad("The object name in the address contains a NUL byte.");
    if (url.last.size() > kMaxNameBytes)
        return bad("The object name is longer than " + std::to_string(kMaxNameBytes) + " bytes.");
    return Status::pass();
}

} // namespace

std::string percentEncodeName(std::string_view text)
{
    return percentEncode(text, ":,/");
}

Status parseRequestUrl(std::string_view text, RequestUrl& url)
{
    url = RequestUrl();
    // An argument cannot hold one; a NUL here would cut a name short wherever it went next.
    if (text.find('\0') != std::string_view::npos)
        return bad("The address contains a NUL byte.");
    if (text.size() < kScheme.size() ||
        strncasecmp(text.data(), kScheme.data(), kScheme.size()) != 0)
        return bad("Not a molb request: the address must start with molb://.");
    text.remove_prefix(kScheme.size());
    const size_t question = text.find('?');
    const std::string_view address = text.substr(0, question);
    const std::string_view parameters =
        question == std::string_view::npos ? std::string_view() : text.substr(question + 1);

    const size_t slash = address.find('/');
    Status status = parseAuthority(address.substr(0, slash), url);
    if (!status.ok())
        return status;
    status = parsePath(
        slash == std::string_view::npos ? std::string_view() : address.substr(slash + 1), url);
    if (!status.ok())
        return status;
    return parseQueryString(parameters, url);
}

} // namespace Dbscout::Molb
