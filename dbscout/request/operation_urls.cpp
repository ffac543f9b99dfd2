#include "request/operation_urls.h"

#include "request/url_escape.h"
#include "request/url_params.h"

namespace Dbscout {

std::string joinObjectIds(const std::vector<std::string>& ids)
{
    std::string path;
    for (const std::string& id : ids) {
        if (!path.empty())
            path += ',';
        path += id;
    }
    return path;
}

std::string buildCheckUrl(const std::string& listUrl, CheckCommand command, bool descendants)
{
    const char* const verb = command == CheckCommand::CheckIn ? "ci" : "co";
    std::string url = listUrl;
    appendUrlParam(url, std::string("command=") + verb);
    if (descendants)
        url += std::string("&descendant=") + verb;
    url += "&command=dir";
    return url;
}

void appendComment(std::string& url, const std::string& comment)
{
    url += "&comment=";
    url += EscapeComment(comment);
}

std::string buildUndoCheckOutUrl(const std::string& listUrl)
{
    std::string url = listUrl;
    appendUrlParam(url, "command=unco&command=dir");
    return url;
}

std::string buildCreateSubsetUrl(const std::string& listUrl, const std::string& subsetName)
{
    std::string url = listUrl;
    appendUrlParam(url, "");
    // Removing the parameter after the '&' is in place leaves exactly one '&' before what follows.
    ExtractUrlParam(url, "query=");
    url += "command=cs&command=dir&query=";
    url += subsetName;
    return url;
}

std::string buildObjectAccessUrl(const std::string& listUrl, const std::string& modes)
{
    std::string url = listUrl;
    appendUrlParam(url, "command=ochmod&command=dir&objmode=" + modes);
    return url;
}

std::string buildSubsetAccessUrl(const std::string& listUrl, const std::string& modes,
                                 const std::string& subsetName)
{
    std::string url = listUrl;
    appendUrlParam(url, "command=schmod&command=dir&subsetmode=" + modes + "&subset=" + subsetName);
    return url;
}

std::string buildSaveUrl(const std::string& url, bool force, const std::string& archiveName)
{
    std::string result = url;
    if (force)
        appendUrlParam(result, "force=yes");
    std::string escaped = "arcname=";
    EscapeQueryText(archiveName.data(), int(archiveName.size()), escaped);
    appendUrlParam(result, escaped);
    return result;
}

} // namespace Dbscout
