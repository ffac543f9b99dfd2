#pragma once
// Requests for object operations. Each starts from the listing URL that BuildListUrl gave for
// the operation's object path (it always holds '?'), names its commands and asks with
// command=dir for the listing as it stands afterwards.

#include <string>
#include <vector>

namespace Dbscout {

// The object path of an operation: the ids joined by ','.
std::string JoinObjectIds(const std::vector<std::string>& ids);

enum class CheckCommand { CheckIn, CheckOut };

// Check in or check out, up to "&command=dir". A comment goes after it with AppendComment, so
// that the caller can measure what room the URL leaves for it.
std::string BuildCheckUrl(const std::string& listUrl, CheckCommand command, bool descendants);
// Appends "&comment=" and the escaped comment (also when the comment is empty).
void AppendComment(std::string& url, const std::string& comment);

std::string BuildUndoCheckOutUrl(const std::string& listUrl);

// The listing's own query= parameter is dropped; the new subset's name travels raw.
std::string BuildCreateSubsetUrl(const std::string& listUrl, const std::string& subsetName);

// modes: three characters, each '-', 'r', 'w', or '*' for a position left unchosen.
std::string BuildObjectAccessUrl(const std::string& listUrl, const std::string& modes);
std::string BuildSubsetAccessUrl(const std::string& listUrl, const std::string& modes,
                                 const std::string& subsetName);

// The URL of a save as sent: force=yes when forced, then the escaped archive name.
std::string BuildSaveUrl(const std::string& url, bool force, const std::string& archiveName);

} // namespace Dbscout
