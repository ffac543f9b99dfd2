#pragma once
// The result of every request step: passed, or failed with a code and one line of text
// for the user. Messages are passed up unchanged, never overwritten.

#include <string>
#include <utility>

namespace Dbscout::Handlers {

enum class ErrorCode {
    None,
    BadRequest, // the request or input is malformed
    NotFound,   // no such database, object or subset
    Denied,     // authentication failed or the mode forbids it
    Conflict,   // the name is taken, or another user holds the object
    Failure,    // the store or service itself failed (I/O, corruption, busy, network)
};

class [[nodiscard]] Status
{
public:
    static Status pass() { return Status(); }
    static Status fail(ErrorCode code, std::string message)
    {
        Status status;
        status.m_code = code;
        status.m_message = std::move(message);
        return status;
    }

    bool ok() const { return m_code == ErrorCode::None; }
    ErrorCode code() const { return m_code; }
    const std::string& message() const { return m_message; }

private:
    ErrorCode m_code = ErrorCode::None;
    std::string m_message;
};

} // namespace Dbscout::Handlers
