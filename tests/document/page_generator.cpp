#include "page_generator.h"

#include <cstdio>

namespace DbscoutTest {

namespace {

const char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<html version=\"3.0\">\n<head><title>protein</title></head>\n"
                     "<body id=\"OK\">\n<dir><li><a>MAIN</a></li><li><a>Kinases</a></li></dir>\n"
                     "<table>\n<caption><a mode=\"rwr\">MAIN</a></caption>\n"
                     "<tr><th>Name</th><th>Length</th><th>Description</th><th>Organism</th>"
                     "<th>Modified</th></tr>\n";

void appendRow(std::string& page, long k)
{
    char row[512];
    std::snprintf(row, sizeof row,
                  "<tr><td><a id=\"MAIN/%ld\" access=\"%s\" checkout_by=\"%s\" mode=\"rw-\">"
                  "Object %ld</a></td><td>%ld</td><td>Serine/threonine kinase &amp; "
                  "regulator %ld</td><td>Homo sapiens</td><td>2024-05-%02ld</td></tr>\n",
                  k, k % 5 == 0 ? "r" : "rw", k % 3 == 0 ? "curator" : "", k, k * 7, k, k % 28 + 1);
    page += row;
}

void appendTail(std::string& page, long rowCount)
{
    page += "</table>\n<p>Found: <b>" + std::to_string(rowCount) + "</b></p><p><b>" +
            std::to_string(rowCount) + "</b></p><p><b>1</b></p>\n</body>\n</html>\n";
}

} // namespace

std::string GenerateResultPage(long rowCount)
{
    std::string page = kHead;
    for (long k = 0; k < rowCount; ++k)
        appendRow(page, k);
    appendTail(page, rowCount);
    return page;
}

std::string GenerateResultPageOfSize(size_t bytes, long& rowCount)
{
    std::string page = kHead;
    page.reserve(bytes + 1024);
    rowCount = 0;
    while (page.size() < bytes)
        appendRow(page, rowCount++);
    appendTail(page, rowCount);
    return page;
}

} // namespace DbscoutTest
