#pragma once
// The answer to a save: on success the body links the stored object, on failure the body text is
// the error message and the title its caption.

#include "document/answer_page.h"

#include <string>

namespace Dbscout {

class StatusPage final : public AnswerPage
{
public:
    // Throws CXMLException at the first missing required piece; what was filled before stays.
    void parseText(const char* text) override;

    std::string linkText; // on success: the name under which the object was stored
    std::string linkHref; // empty where the link has none
};

} // namespace Dbscout
