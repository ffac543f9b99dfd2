#include "request/list_url.h"

#include "request/url_escape.h"

namespace Dbscout {

std::string comboBoxText(const std::string& editText, const std::string& selectedItemText)
{
    if (!editText.empty())
        return editText;
    return selectedItemText.substr(0, kComboItemTextMax);
}

namespace {

void chooseSource(const DataSourceChoice& choice, bool openMode, ListUrlResult& result)
{
    if (choice.pendingAddress) {
        result.sourceUrl = *choice.pendingAddress;
        result.pendingUsed = true;
    } else if (choice.hasDescriptor) {
        result.sourceUrl = choice.descriptorUrl;
        result.sourceFromList = true;
        if (choice.descriptorLogin) {
            result.user = choice.descriptorUser;
            result.password = choice.descriptorPassword;
        }
    } else {
        result.sourceUrl = choice.boxText;
    }
    // A configured source may restrict picking to one row; typed addresses never do.
    result.singleSelection = result.sourceFromList && (!choice.descriptorFlagA || !openMode);
}

void appendCredentials(std::string& url, char separator, const std::string& user,
                       const std::string& password)
{
    url += separator;
    url += "user=";
    url += user;
    url += "&pass=";
    url += password;
}

} // namespace

ListUrlResult BuildListUrl(const ListUrlInput& input, const std::string* objectPath)
{
    ListUrlResult result;
    chooseSource(input.source, input.openMode, result);
    result.query = input.queryBoxText;
    if (result.sourceUrl.empty())
        return result;

    std::string& url = result.url;
    url = result.sourceUrl;
    if (objectPath) {
        if (url.back() != '/')
            url += '/';
        url += *objectPath;
    }
    url += "?start=" + std::to_string(input.pageStart);
    url += "&page=" + std::to_string(input.pageSize);
    if (!result.user.empty())
        appendCredentials(url, '&', result.user, result.password);
    if (!result.query.empty()) {
        url += "&query=";
        EscapeQueryText(result.query.data(), int(result.query.size()), url);
    }
    if (!input.openMode)
        url += "&writable=yes";
    return result;
}

std::optional<std::string> BuildSubsetListUrl(const std::string& listUrl, const std::string& user,
                                              const std::string& password, bool openMode)
{
    const size_t slash = listUrl.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return std::nullopt;
    std::string url = listUrl.substr(0, slash + 1);
    if (!user.empty())
        appendCredentials(url, '?', user, password);
    if (!openMode)
        appendUrlParam(url, "writable=yes");
    return url;
}

} // namespace Dbscout
