#pragma once
// The XML layer's one exception: a message that names what was missing or malformed.

#include <string>
#include <utility>

namespace Dbscout {

class CXMLException
{
public:
    explicit CXMLException(std::string message) : m_message(std::move(message)) {}
    const std::string& message() const { return m_message; }

private:
    std::string m_message;
};

} // namespace Dbscout
