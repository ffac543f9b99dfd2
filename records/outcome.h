#pragma once
// The end of reading a text: done, or failed at a line with a message that says what was wrong
// there.

#include <string>
#include <utility>

namespace Dbscout::Records {

class [[nodiscard]] Outcome
{
public:
    static Outcome done() { return {}; }
    // line is 1-based; 0 when the text as a whole is at fault.
    static Outcome failed(size_t line, std::string message) { return {line, std::move(message)}; }

    bool ok() const { return !m_failed; }
    size_t line() const { return m_line; }
    const std::string& message() const { return m_message; }
    // "line 12: message", or the message alone when no line is known.
    std::string text() const
    {
        return m_line == 0 ? m_message : "line " + std::to_string(m_line) + ": " + m_message;
    }

    Outcome() = default;

private:
    Outcome(size_t line, std::string message)
        : m_failed(true), m_line(line), m_message(std::move(message))
    {}

    bool m_failed = false;
    size_t m_line = 0;
    std::string m_message;
};

} // namespace Dbscout::Records
