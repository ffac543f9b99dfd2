#pragma once
// The parsed answer of one request. The request job calls Parse on its worker thread; the owner
// reads the fields only after the job's completion message.

#include <string>

namespace Dbscout {

// Raised by Parse when the answer could not be read at all (no buffer): the job then ends as
// failed with its own error text, or "Unknown error".
struct NoAnswerText
{
};

class ScoutResponse
{
public:
    virtual ~ScoutResponse() = default;

    // Reads the whole answer from stdoutRead and fills the object. Throws CXMLException for a
    // malformed page, NoAnswerText when nothing could be read; std::bad_alloc may escape.
    virtual void Parse(int stdoutRead) {}

    std::string message;
    std::string messageTitle;
    std::string status;
    int versionMajor = 0;
    int versionMinor = 0;
};

} // namespace Dbscout
