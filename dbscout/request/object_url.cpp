#include "request/object_url.h"

#include "platform/blanks.h"
#include "request/url_escape.h"

namespace Dbscout {

namespace {

constexpr int kDescendantsVersion = 3; // servers from this major version know descendants

void appendOpenCommands(const ObjectUrlInput& in, std::string& url)
{
    url += "&command=fetch";
    if (!in.checkOptionsArmed)
        return;
    if (in.options.checkoutOnOpen)
        url += "&command=co";
    if (in.serverVersion >= kDescendantsVersion && in.options.checkoutOnOpenDesc)
        url += "&descendant=co";
}

void appendSaveCommands(const ObjectUrlInput& in, std::string& url)
{
    url += "&command=put";
    const bool descendants = in.serverVersion >= kDescendantsVersion;
    if (descendants) {
        if (in.options.onSaveRecalcDesc == 0)
            url += "&pdmode=reconstruct";
        else if (in.options.onSaveRecalcDesc == 2)
            url += "&pdmode=disconnect";
        if (in.options.onSaveLeaveOnError == 1)
            url += "&pderror=disconnect";
    }
    if (!in.checkOptionsArmed)
        return;
    if (in.options.checkinOnSave)
        url += "&command=ci";
    if (descendants && in.options.checkinOnSaveDesc)
        url += "&descendant=ci";
}

} // namespace

std::optional<ObjectUrl> BuildObjectUrl(const ObjectUrlInput& in)
{
    if (in.nameBoxText.empty())
        return std::nullopt;
    const size_t slash = in.sourceUrl.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;

    ObjectUrl result;
    result.name = trimmed(in.nameBoxText);
    std::string& url = result.url;
    url = in.sourceUrl.substr(0, slash + 1);
    EscapeObjectName(result.name.data(), int(result.name.size()), url);
    url += "?query=";
    EscapeQueryText(in.query.data(), int(in.query.size()), url);
    if (!in.user.empty())
        url += "&user=" + in.user + "&pass=" + in.password;
    if (in.openMode)
        appendOpenCommands(in, url);
    else
        appendSaveCommands(in, url);
    return result;
}

} // namespace Dbscout
