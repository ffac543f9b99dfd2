#pragma once
// What the two answer pages share: the whole answer is read from the handler's output and parsed
// as an XHTML page with an html root (optional version), a head with a title, and a body whose id
// is the status.

#include "document/scout_response.h"

#include <string>
#include <string_view>

namespace Dbscout {

class CXMLReader;

// The decimal number at the start of text: leading blanks skipped, a sign allowed, reading stops
// at the first non-digit, no digits give 0, values beyond the int range saturate.
int parseDecimal(std::string_view text);

class AnswerPage : public ScoutResponse
{
public:
    // Reads stdoutRead to its end and parses what came. Throws NoAnswerText when no buffer could
    // be had, CXMLException for a malformed page.
    void Parse(int stdoutRead) final;

    // Parses an answer already in memory (NUL-terminated, UTF-8). Throws CXMLException.
    virtual void parseText(const char* text) = 0;

    // Sets versionMajor and versionMinor from the html element's version attribute, or to 1.0
    // where version is null (the page gives none).
    void setVersion(const std::string* version);

    // Whether status equals expected apart from ASCII letter case.
    bool statusIs(std::string_view expected) const;

    std::string title;

protected:
    // Loads text, checks the html root, reads the version and the title, and leaves the reader
    // inside body with status set from its id.
    void openBody(CXMLReader& reader, const char* text);
};

} // namespace Dbscout
