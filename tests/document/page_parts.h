#pragma once
// Answer pages assembled from named parts, so that a test can replace one part to make one
// defect. The defaults make the example listing: version 3.0, two subsets, one object row.

#include <string>

namespace DbscoutTest {

// What every answer page starts with: the html element, the head with its title, the body.
struct PageStart
{
    explicit PageStart(const std::string& title) : head("<head><title>" + title + "</title></head>")
    {}

    std::string html = "<html version=\"3.0\">";
    std::string head;
    std::string body = "<body id=\"OK\">";
};

struct ResultPageParts : PageStart
{
    ResultPageParts() : PageStart("protein") {}

    std::string dir = "<dir><li><a>Alpha</a></li><li><a>Beta</a></li></dir>";
    std::string table = "<table>";
    std::string caption = "<caption><a mode=\"rw-\">Alpha</a></caption>";
    std::string header = "<tr><th>Name</th><th>Length</th></tr>";
    std::string rows = "<tr><td><a id=\"Alpha/P1\" access=\"r\" checkout_by=\"curator\" "
                       "mode=\"rw-\">P1</a></td><td>120</td></tr>";
    std::string tableEnd = "</table>";
    std::string numbers = "<p><b>1</b></p><p><b>20</b></p><p><b>1</b></p>";
    std::string bodyEnd = "</body>";
    std::string htmlEnd = "</html>";

    std::string text() const
    {
        return html + head + body + dir + table + caption + header + rows + tableEnd + numbers +
               bodyEnd + htmlEnd;
    }
};

struct StatusPageParts : PageStart
{
    StatusPageParts() : PageStart("Save") {}

    std::string content = "<a href=\"molb://local/db/dnarna/MAIN/pUC19\">pUC19</a>";
    std::string end = "</body></html>";

    std::string text() const { return html + head + body + content + end; }
};

} // namespace DbscoutTest
