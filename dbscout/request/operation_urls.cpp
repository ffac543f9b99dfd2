#include "request/operation_urls.h"

#include "request/url_escape.h"
#include "request/url_params.h"

namespace Dbscout {

std::string JoinObjectIds(const std::vector<std::string>& ids)
{
    std::string path;
    for (const std::string& id : ids) {
        if (!path.empty())
            path += ',';
        path += id;
    }
    return path;
}

std::string BuildCheckUrl(const std::string& listUrl, CheckCommand command, bool descendants)
{
    const char* const verb = command == CheckCommand::CheckIn ? "ci" : "co";
    std::string url = listUrl;
    AppendUrlParam(url, std::string("command=") + verb);
    if (descendants)
        url += std::string("&descendant=") + verb;
    url += "&command=dir";
    return url;
}

void AppendComment(std::string& url, const std::string& comment)
{
    url += "&comment=";
    url += EscapeComment(comment);
}

std::string BuildUndoCheckOutUrl(const std::string& listUrl)
{
    std::string url = listUrl;
    AppendUrlParam(url, "command=unco&command=dir");
    return url;
}

std::string BuildCreateSubsetUrl(const std::string& listUrl, const std::string& subsetName)
{
    std::string url = listUrl;
    AppendUrlParam(url, "");
    // Removing the parameter after the '&' is in place leaves exactly one '&' before what follows.
    ExtractUrlParam(url, "query=");
    url += "command=cs&command=dir&query=";
    url += subsetName;
    return url;
}

std::string BuildObjectAccessUrl(const std::string& listUrl, const std::string& modes)
{
    std::string url = listUrl;
    AppendUrlParam(url, "command=ochmod&command=dir&objmode=" + modes);
    return url;
}

std::string BuildSubsetAccessUrl(const std::string& listUrl, const std::string& modes,
                                 const std::string& subsetName)
{
    std::string url = listUrl;
    AppendUrlParam(url, "command=schmod&command=dir&subsetmode=" + modes + "&subset=" + subsetName);
    return url;
}

std::string BuildSaveUrl(const std::string& url, bool force, const std::string& archiveName)
{
    std::string result = url;
    if (force)
        AppendUrlParam(result, "force=yes");
    std::string escaped = "arcname=";
    EscapeQueryText(archiveName.data(), int(archiveName.size()), escaped);
    AppendUrlParam(result, escaped);
    return result;
}

} // namespace Dbscout
