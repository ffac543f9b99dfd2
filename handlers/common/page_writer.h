#pragma once
// The answer pages every handler writes: the result page of a listing, the status page of a save,
// and the error page that answers every failed request. None declares a namespace: the component
// matches element names in no namespace only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Handlers {

// What tells one handler's pages apart: the page version (the component enables its object
// operations from it) and the title of its error pages.
struct PageStyle
{
    const char* version;
    const char* errorTitle;
};

// The link of one listed object: the name it shows and the attributes the panel reads.
struct ObjectLink
{
    std::string_view id;
    std::string_view name;
    std::string_view access;     // "r", "w", "rw" or "": what the requester may do
    std::string_view checkoutBy; // written even when empty
    std::string_view mode;       // written even when empty
};

// Writes a result page piece by piece, in page order: directory(), table(), any number of row()
// calls, then finish(). Every text is escaped; headers are written as given.
class ResultPageWriter
{
public:
    ResultPageWriter(const PageStyle& style, std::string_view title, size_t expectedRows);

    void directory(const std::vector<std::string_view>& subsetNames);
    // caption is the listed subset's name (empty for a search); an empty captionMode is left out.
    void table(std::string_view caption, std::string_view captionMode,
               const std::vector<std::string_view>& headers);
    // Starts a row with its link cell; cell() adds the further cells.
    void row(const ObjectLink& link);
    void cell(std::string_view text);
    // The three numbers: found, page size, and the 1-based number of the first row (0 when the
    // page has no rows), each remark after them as a paragraph of its own (the component reads
    // only the numbers; a person reading the page sees them). Returns the finished page.
    std::string finish(std::int64_t found, std::int64_t pageSize, std::int64_t firstNumber,
                       const std::vector<std::string>& remarks = {});

private:
    std::string m_page;
    bool m_rowOpen = false;
};

// status is "OK" or "EXIST"; the link names the object and href fetches it. Each remark follows
// as a paragraph of its own (the component reads only the link; a person reading the page sees
// them).
std::string statusPage(const PageStyle& style, const char* status, const std::string& linkText,
                       const std::string& href, const std::vector<std::string>& remarks = {});
// The body text is message; it serves result and status requests alike.
std::string errorPage(const PageStyle& style, const std::string& message);

} // namespace Dbscout::Handlers
