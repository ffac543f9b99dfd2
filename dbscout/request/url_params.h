#pragma once
// Taking parameters and credentials out of request URLs, and reading an object URL back.

#include <dbscout/export.h>

#include <string>

namespace Dbscout {

// Returns the raw value of the first parameter that key (including its '=', e.g. "user=")
// names after the first '?', and removes the parameter together with the '&' that ends it.
// The key is matched as plain text. Returns empty, leaving the URL alone, when there is no
// '?' past the first character or no key after it.
std::string ExtractUrlParam(std::string& url, const std::string& key);

// Takes credentials out of the URL: "user:password@" after "://" (before the first '/' of the
// path), else the user= and pass= parameters, which then leave the URL. Changes nothing when
// the URL has no "://" followed by a '/'. Without a ':' in the authority's credentials the
// password keeps its prior value.
void SplitUrlCredentials(std::string& url, std::string& user, std::string& password);

// What an object URL names: the text after its last '/' up to the first '?' after it (the whole
// URL when it has no '/' and starts with its '?'), still escaped, and the raw value of its first
// "query=" parameter.
struct ObjectUrlParts
{
    std::string escapedName;
    std::string query;
    bool hasQuery = false; // the URL holds "query="
};
ObjectUrlParts readObjectUrl(const std::string& url);

} // namespace Dbscout

// Replaces the last path segment of an object URL with pszName (raw), keeping the query part.
// Returns false, leaving the URL untouched, when it holds no '/'. Hosts see it through
// <dbscout/dbscout.h>; it is declared again here because the core layer cannot include widgets.
extern "C" DBSCOUT_EXPORT bool ParseURLAndReplaceName(std::string& strURL, const char* pszName);
