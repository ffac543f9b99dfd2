#pragma once
// Line-by-line reading of flat-file records, shared by the importers.

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

// Yields the lines of text without their "\n" or "\r\n".
class LineReader
{
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    bool next(std::string_view& line);
    size_t lineNumber() const { return m_line; }

private:
    std::string_view m_text;
    size_t m_position = 0;
    size_t m_line = 0;
};

std::string_view trim(std::string_view text);
bool startsWith(std::string_view text, std::string_view prefix);
// Splits at runs of blanks (tabs, and carriage returns and line feeds, which trim() removes too).
std::vector<std::string_view> words(std::string_view text);
// Appends text to out with one blank between pieces, after trimming it.
void appendJoined(std::string& out, std::string_view text);
// Splits text into records that each end with a line starting with "//"; the text after the last
// terminator becomes a record of its own when it holds more than blank lines.
void splitAtTerminators(std::string_view text, std::vector<std::string_view>& records);
// The number in text, or -1 when text is not only digits.
long long wholeNumber(std::string_view text);

} // namespace Dbscout::Molb
