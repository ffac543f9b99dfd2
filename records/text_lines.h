#pragma once
// Reading flat-file records line by line, and writing their wrapped fields.

#include "outcome.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Records {

// Yields the lines of text without their "\n" or "\r\n", counting them from 1.
class LineReader
{
public:
    explicit LineReader(std::string_view text, size_t firstLine = 1)
        : m_text(text), m_line(firstLine - 1)
    {}
    bool next(std::string_view& line);
    // Gives the last line back, so that the next call yields it again.
    void back();
    size_t lineNumber() const { return m_line; }
    // Where the next line starts in the text.
    size_t offset() const { return m_position; }

private:
    std::string_view m_text;
    size_t m_position = 0;
    size_t m_previous = 0;
    size_t m_line = 0;
};

// Calls take(line, number) on each line of text, the first numbered firstLine, up to the line
// that ends the record ("//") when there is one; stops at the first that fails.
template <typename Take> Outcome eachLine(std::string_view text, size_t firstLine, const Take& take)
{
    LineReader lines(text, firstLine);
    std::string_view line;
    while (lines.next(line) && !line.starts_with("//")) {
        if (Outcome outcome = take(line, lines.lineNumber()); !outcome.ok())
            return outcome;
    }
    return Outcome::done();
}

// Blanks, tabs and line ends, which trimmed() removes and words() splits at.
inline constexpr std::string_view kLineBlanks = " \t\r\n";

// Splits at runs of blanks.
std::vector<std::string_view> words(std::string_view text);
// Appends text to out with one blank between pieces, after trimming it.
void appendJoined(std::string& out, std::string_view text);
// The number in text, or -1 when text is not only digits (at most 18 of them).
long long wholeNumber(std::string_view text);
// text without one final character end, when it ends so, and the blanks before it.
std::string_view withoutFinal(std::string_view text, char end);

bool isLineBlank(char c);
// Splits text into lines of at most width characters, breaking only at a blank with no blank on
// either side and at index from or later, so that a reader that trims the lines and joins them
// with one blank gets text back; a word longer than width stays whole on a longer line.
std::vector<std::string_view> wrapAtBlanks(std::string_view text, size_t width, size_t from = 1);
// The same for text that is read back by joining its lines as they are (residues): breaks
// between two characters that are neither blanks nor in keep.
std::vector<std::string_view> wrapTight(std::string_view text, size_t width, size_t from,
                                        std::string_view keep);
// The same for text read back by joining its lines as they are: breaks after a mark.
std::vector<std::string_view> wrapAfter(std::string_view text, size_t width, char mark);
// Writes each line of lines after the prefix (firstPrefix for the first one) and a line end.
void writeLines(std::string& out, std::string_view firstPrefix, std::string_view prefix,
                const std::vector<std::string_view>& lines);

} // namespace Dbscout::Records
