// The result page: what a well-formed listing yields, and the message each defect gives.

#include "document/result_page.h"
#include "document/xml_exception.h"
#include "page_parts.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using namespace Dbscout;
using DbscoutTest::ResultPageParts;

namespace {

std::string failure(const std::string& text)
{
    ResultPage page;
    try {
        page.ParseText(text.c_str());
    } catch (const CXMLException& error) {
        return error.message();
    }
    return "parsed";
}

ResultPage parsed(const std::string& text)
{
    ResultPage page;
    page.ParseText(text.c_str());
    return page;
}

std::string dataRow(const std::string& link, const std::string& cells = "")
{
    return "<tr><td>" + link + "</td>" + cells + "</tr>";
}

TEST(ResultPage, theExampleListingYieldsEveryField)
{
    ResultPage page = parsed(ResultPageParts().text());
    EXPECT_EQ(page.versionMajor, 3);
    EXPECT_EQ(page.versionMinor, 0);
    EXPECT_EQ(page.title, "protein");
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.message, "");
    ASSERT_EQ(page.subsets.size(), 2u);
    EXPECT_EQ(page.subsets[0].name, "Alpha");
    EXPECT_EQ(page.subsets[1].name, "Beta");
    EXPECT_EQ(page.subsets[0].mode, "");
    EXPECT_EQ(page.caption.name, "Alpha");
    EXPECT_EQ(page.caption.mode, "rw-");
    EXPECT_EQ(page.columns, (std::vector<std::string>{"Name", "Length"}));
    ASSERT_EQ(page.rows.size(), 1u);
    const ResultRow& row = page.rows[0];
    EXPECT_EQ(row.name, "P1");
    EXPECT_EQ(row.id, "Alpha/P1");
    EXPECT_TRUE(row.readable);
    EXPECT_FALSE(row.writable);
    EXPECT_EQ(row.checkoutBy, "curator");
    EXPECT_EQ(row.mode, "rw-");
    EXPECT_EQ(row.cells, std::vector<std::string>{"120"});
    EXPECT_EQ(page.totalFound, 1);
    EXPECT_EQ(page.pageSize, 20);
    EXPECT_EQ(page.firstNumber, 1);
}

TEST(ResultPage, eachDefectGivesItsMessage)
{
    using Edit = std::function<void(ResultPageParts&)>;
    const struct
    {
        const char* defect;
        Edit edit;
        const char* message;
    } cases[] = {
        {"document element in capitals",
         [](auto& p) {
             p.html = "<HTML>";
             p.htmlEnd = "</HTML>";
         },
         "No root element <html> "},
        {"no head", [](auto& p) { p.head = ""; }, "No <head> element"},
        {"head without title", [](auto& p) { p.head = "<head/>"; }, "No <title> element"},
        {"title not directly in head", [](auto& p) { p.head = "<head><x><title/></x></head>"; },
         "No <title> element"},
        {"no body",
         [](auto& p) {
             p.body = "<div id=\"OK\">";
             p.bodyEnd = "</div>";
         },
         "No <body> element"},
        {"body in capitals",
         [](auto& p) {
             p.body = "<BODY id=\"OK\">";
             p.bodyEnd = "</BODY>";
         },
         "No <body> element"},
        {"body without id", [](auto& p) { p.body = "<body ID=\"OK\">"; },
         "No attribute \"id\" in element <body>"},
        {"no dir", [](auto& p) { p.dir = ""; }, "No <dir> element"},
        {"subset without link", [](auto& p) { p.dir = "<dir><li>Alpha</li></dir>"; },
         "No <a> element"},
        {"no table", [](auto& p) { p.table = "<div>", p.tableEnd = "</div>"; },
         "No <table> element"},
        {"no caption", [](auto& p) { p.caption = ""; }, "No <caption> element"},
        {"caption without link", [](auto& p) { p.caption = "<caption>Alpha</caption>"; },
         "No <a> element"},
        {"table without rows",
         [](auto& p) {
             p.header = "";
             p.rows = "";
         },
         "No element <tr> number 0"},
        {"rows inside tbody",
         [](auto& p) {
             p.header = "<tbody>" + p.header;
             p.rows += "</tbody>";
         },
         "No element <tr> number 0"},
        {"data row without cells", [](auto& p) { p.rows = "<tr><th>P1</th></tr>"; },
         "No element <td> number 0"},
        {"first cell without link",
         [](auto& p) { p.rows = dataRow("P1", "<td><a id=\"x\"/></td>"); }, "No <a> element"},
        {"object link without id", [](auto& p) { p.rows = dataRow("<a name=\"P1\">P1</a>"); },
         "No attribute \"id\" in element <a>"},
        {"no numbers", [](auto& p) { p.numbers = ""; }, "No element <p> number 0"},
        {"two numbers", [](auto& p) { p.numbers = "<p><b>1</b></p><p><b>20</b></p>"; },
         "No element <p> number 2"},
        {"number without b", [](auto& p) { p.numbers = "<p><b>1</b></p><p>20</p><p/>"; },
         "No <b> element"},
        {"elements in the XHTML namespace",
         [](auto& p) { p.html = "<html xmlns=\"http://www.w3.org/1999/xhtml\" version=\"3\">"; },
         "No <head> element"},
        {"a title that expands without bound",
         [](auto& p) {
             std::string levels = "<!ENTITY l0 \"\">";
             for (int i = 1; i <= 8; ++i) {
                 std::string below = "&l" + std::to_string(i - 1) + ";";
                 std::string ten;
                 for (int k = 0; k < 10; ++k)
                     ten += below;
                 levels += "<!ENTITY l" + std::to_string(i) + " \"" + ten + "\">";
             }
             p.html = "<!DOCTYPE html [" + levels + "]>" + p.html;
             p.head = "<head><title>&l8;</title></head>";
         },
         "Error reading data in element <title>"},
        {"not well-formed", [](auto& p) { p.numbers = "\n<p><b>1</p>"; },
         "0x4c Line : 2 Char : 12 Opening and ending tag mismatch: b line 2 and p"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defect);
        ResultPageParts parts;
        c.edit(parts);
        EXPECT_EQ(failure(parts.text()), c.message);
    }
    EXPECT_EQ(failure(""), "Error parsing XML");
}

TEST(ResultPage, cutAndBadlyEncodedPagesReportWhereTheyFail)
{
    const std::string whole = ResultPageParts().text();
    const std::string cut = whole.substr(0, whole.find("120<") + 3);
    EXPECT_EQ(failure(cut), "0x4d Line : 1 Char : " + std::to_string(cut.size() + 1) +
                                " Premature end of data in tag td line 1");

    ResultPageParts parts;
    parts.rows.insert(parts.rows.find("P1<"), "\xe9");
    const std::string text = parts.text();
    EXPECT_EQ(failure(text), "0x9 Line : 1 Char : " + std::to_string(text.find('\xe9') + 1) +
                                 " Input is not proper UTF-8, indicate encoding !\n"
                                 "Bytes: 0xE9 0x50 0x31 0x3C");
}

TEST(ResultPage, hugeValuesAreKeptWhole)
{
    const std::string huge(12u << 20, 'x'); // beyond libxml2's default limit of 10 MB a value
    ResultPageParts parts;
    parts.rows = dataRow("<a id=\"" + huge + "\">" + huge + "</a>", "<td>" + huge + "</td>");
    ResultPage page = parsed(parts.text());
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_TRUE(page.rows[0].id == huge);
    EXPECT_TRUE(page.rows[0].name == huge);
    EXPECT_TRUE(page.rows[0].cells == std::vector<std::string>{huge});
}

TEST(ResultPage, versionsFollowTheNumberRule)
{
    const struct
    {
        const char* html;
        int major;
        int minor;
    } cases[] = {
        {"<html>", 1, 0},
        {"<html version=\"2\">", 2, 0},
        {"<html version=\"3.1\">", 3, 1},
        {"<html version=\" \t4.25\">", 4, 25},
        {"<html version=\"+5.-1\">", 5, -1},
        {"<html version=\"3.\">", 3, 0},
        {"<html version=\"1.2.3\">", 1, 2},
        {"<html version=\"v2\">", 0, 0},
        {"<html version=\"\">", 0, 0},
        {"<html version=\"2beta.7rc\">", 2, 7},
        {"<html version=\"99999999999.-99999999999\">", INT_MAX, INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        ResultPageParts parts;
        parts.html = c.html;
        ResultPage page = parsed(parts.text());
        EXPECT_EQ(page.versionMajor, c.major);
        EXPECT_EQ(page.versionMinor, c.minor);
    }
}

TEST(ResultPage, pagingNumbersFollowTheNumberRule)
{
    const struct
    {
        const char* numbers;
        int total, size, first;
    } cases[] = {
        {"<p><b>12 objects</b></p><p><b></b></p><p><b> -3</b></p>", 12, 0, -3},
        {"<p>found <b>7</b> in all</p><p><b>x1</b></p><p><b>0042</b></p>", 7, 0, 42},
        {"<p><b>1</b></p><p><b>2</b></p><p><b>3</b></p><p><b>4</b></p>", 1, 2, 3},
        {"<p><b><i>5</i>0</b></p><p><b>2147483648</b></p><p><b>-2147483648</b></p>", 50, INT_MAX,
         INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.numbers);
        ResultPageParts parts;
        parts.numbers = c.numbers;
        ResultPage page = parsed(parts.text());
        EXPECT_EQ(page.totalFound, c.total);
        EXPECT_EQ(page.pageSize, c.size);
        EXPECT_EQ(page.firstNumber, c.first);
    }
}

TEST(ResultPage, accessLettersAreCaseSensitiveAndBothAllowedWithoutTheAttribute)
{
    const struct
    {
        const char* attribute;
        bool readable, writable;
    } cases[] = {
        {"", true, true},
        {" access=\"r\"", true, false},
        {" access=\"w\"", false, true},
        {" access=\"rw\"", true, true},
        {" access=\"\"", false, false},
        {" access=\"RW\"", false, false},
        {" access=\"-w-r\"", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attribute);
        ResultPageParts parts;
        parts.rows = dataRow(std::string("<a id=\"1\"") + c.attribute + ">P</a>");
        ResultPage page = parsed(parts.text());
        ASSERT_EQ(page.rows.size(), 1u);
        EXPECT_EQ(page.rows[0].readable, c.readable);
        EXPECT_EQ(page.rows[0].writable, c.writable);
        EXPECT_EQ(page.rows[0].checkoutBy, "");
        EXPECT_EQ(page.rows[0].mode, "");
    }
}

TEST(ResultPage, statusOkIgnoresLetterCaseAndAnythingElseIsAnErrorPage)
{
    const struct
    {
        const char* status;
        bool data;
    } cases[] = {{"OK", true}, {"ok", true},   {"Ok", true},     {"oK", true},     {"OKAY", false},
                 {"", false},  {" OK", false}, {"ERROR", false}, {"Failed", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        ResultPageParts parts;
        parts.body = std::string("<body id=\"") + c.status + "\">";
        ResultPage page = parsed(parts.text());
        EXPECT_EQ(page.status, c.status);
        EXPECT_EQ(page.rows.size(), c.data ? 1u : 0u);
        EXPECT_EQ(page.message.empty(), c.data);
    }
}

TEST(ResultPage, anErrorPageNeedsOnlyHeadAndBodyAndKeepsTheBodyText)
{
    ResultPage page = parsed("<html><head><title>dnarna</title></head><body id=\"Denied\">\n"
                             "  <h1>Access</h1> denied to <i>db</i>\n</body></html>");
    EXPECT_EQ(page.status, "Denied");
    EXPECT_EQ(page.message, "Access denied to db");
    EXPECT_EQ(page.messageTitle, "");
    EXPECT_EQ(page.versionMajor, 1);
    EXPECT_TRUE(page.subsets.empty());
    EXPECT_TRUE(page.columns.empty());
    EXPECT_TRUE(page.rows.empty());
    EXPECT_EQ(page.totalFound + page.pageSize + page.firstNumber, 0);
}

TEST(ResultPage, optionalPartsMayBeAbsent)
{
    ResultPageParts parts;
    parts.dir = "<dir/>";
    parts.caption = "<caption>Query: <a>kinase</a> hits</caption>";
    parts.header = "<tr/>";
    parts.rows =
        dataRow("<a id=\"q/1\">One</a>") + dataRow("<a id=\"q/2\">Two</a>", "<td/><td>x</td>");
    ResultPage page = parsed(parts.text());
    EXPECT_TRUE(page.subsets.empty());
    EXPECT_EQ(page.caption.name, "Query: kinase hits");
    EXPECT_EQ(page.caption.mode, "");
    EXPECT_TRUE(page.columns.empty());
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_TRUE(page.rows[0].cells.empty());
    EXPECT_EQ(page.rows[1].cells, (std::vector<std::string>{"", "x"}));

    parts.rows = "";
    EXPECT_TRUE(parsed(parts.text()).rows.empty()); // only the header row
}

TEST(ResultPage, aFailureHalfWayKeepsWhatWasRead)
{
    ResultPageParts parts;
    parts.rows = dataRow("<a id=\"a/1\">One</a>", "<td>10</td>") + dataRow("<a>Two</a>");
    ResultPage page;
    EXPECT_THROW(page.ParseText(parts.text().c_str()), CXMLException);
    EXPECT_EQ(page.subsets.size(), 2u);
    EXPECT_EQ(page.columns.size(), 2u);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].cells, std::vector<std::string>{"10"});
    EXPECT_EQ(page.rows[1].name, "Two");
    EXPECT_EQ(page.rows[1].id, "");
    EXPECT_EQ(page.totalFound, 0);
}

TEST(ResultPage, pagesOfEarlierVersionsParseAlike)
{
    // Version 1 servers sent no version and no object attributes beyond the id.
    ResultPage v1 = parsed(
        "<?xml version=\"1.0\"?>\n<html>\n <head>\n  <title>\n   dnarna\n  </title>\n </head>\n"
        " <body id=\"ok\">\n  <dir>\n   <li><a>MAIN</a></li>\n  </dir>\n  <table>\n"
        "   <caption><a>MAIN</a></caption>\n   <tr><th>Name</th></tr>\n"
        "   <tr><td><a id=\"MAIN/1\">pBR322</a></td></tr>\n  </table>\n"
        "  <p><b>1</b></p>\n  <p><b>100</b></p>\n  <p><b>1</b></p>\n </body>\n</html>\n");
    EXPECT_EQ(v1.versionMajor, 1);
    EXPECT_EQ(v1.title, "dnarna");
    ASSERT_EQ(v1.rows.size(), 1u);
    EXPECT_TRUE(v1.rows[0].readable && v1.rows[0].writable);
    EXPECT_EQ(v1.pageSize, 100);

    ResultPageParts v2;
    v2.html = "<html version=\"2\">";
    v2.caption = "<caption><a mode=\"rwr\">Kinases</a></caption>";
    EXPECT_EQ(parsed(v2.text()).versionMajor, 2);
    EXPECT_EQ(parsed(v2.text()).caption.mode, "rwr");
}

} // namespace
