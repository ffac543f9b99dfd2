#pragma once
// Requests for object operations. Each starts from the listing URL that BuildListUrl gave for
// the operation's object path (it always holds '?'), names its commands and asks with
// command=dir for the listing as it stands afterwards.

#include <string>
#include <vector>

namespace Dbscout {

// The object path of an operation: the ids joined by ','.
std::string joinObjectIds(const std::vector<std::string>& ids);

enum class CheckCommand { CheckIn, CheckOut };

// Check in or check out, up to "&command=dir". A comment goes after it with appendComment, so
// that the caller can measure what room the URL leaves for it.
std::string buildCheckUrl(const std::string& listUrl, CheckCommand command, bool descendants);
// Appends "&comment=" and the escaped comment (also when the comment is empty).
void appendComment(std::string& url, const std::string& comment);

std::string buildUndoCheckOutUrl(const std::string& listUrl);

// The listing's own query= parameter is dropped; the new subset's name travels raw.
std::string buildCreateSubsetUrl(const std::string& listUrl, const std::string& subsetName);

// modes: three characters, each '-', 'r', 'w', or '*' for a position left unchosen.
std::string buildObjectAccessUrl(const std::string& listUrl, const std::string& modes);
std::string buildSubsetAccessUrl(const std::string& listUrl, const std::string& modes,
                                 const std::string& subsetName);

// The URL of a save as sent: force=yes when forced, then the escaped archive name.
std::string buildSaveUrl(const std::string& url, bool force, const std::string& archiveName);

} // namespace Dbscout
