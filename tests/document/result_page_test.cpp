// The result page, read through the tree (which defines every rule and message) and in one pass:
// what a listing yields, the message each defect gives, and that the one-pass reading takes only
// pages it reads exactly as the tree does.

#include "document/result_page.h"
#include "document/result_page_stream.h"
#include "document/xml_exception.h"
#include "page_generator.h"
#include "page_parts.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

using namespace Dbscout;
using DbscoutTest::ResultPageParts;
using Edit = std::function<void(ResultPageParts&)>;

namespace {

std::string access(const ResultRow& row)
{
    return std::string(row.readable ? "r" : "-") + (row.writable ? "w" : "-");
}

// Every field of a page in one text, to compare the two readings.
std::string dump(const ResultPage& p)
{
    const char s = '\x1f';
    std::string out = p.status + s + p.message + s + p.messageTitle + s +
                      std::to_string(p.versionMajor) + s + std::to_string(p.versionMinor) + s +
                      p.title + s + p.caption.name + s + p.caption.mode + s;
    for (const SubsetEntry& subset : p.subsets)
        out += subset.name + s + subset.mode + s;
    for (const std::string& column : p.columns)
        out += column + s;
    for (const ResultRow& r : p.rows) {
        out += "\n" + r.name + s + r.id + s + access(r) + s + r.checkoutBy + s + r.mode;
        for (const std::string& cell : r.cells)
            out += s + cell;
    }
    return out + "\n" + std::to_string(p.totalFound) + s + std::to_string(p.pageSize) + s +
           std::to_string(p.firstNumber);
}

// The page as the tree reads it; where the one-pass reading takes the text too, it must give the
// same page.
ResultPage parsed(const std::string& text)
{
    ResultPage tree;
    tree.parseTree(text.c_str());
    ResultPage fast;
    if (streamResultPage(text.c_str(), fast)) {
        EXPECT_TRUE(dump(fast) == dump(tree)) << "the two readings differ";
    }
    return tree;
}

// Whether the one-pass reading takes text; where it does, the tree must read it alike.
bool streams(const std::string& text)
{
    ResultPage fast;
    parsed(text); // throws where the tree reading fails
    return streamResultPage(text.c_str(), fast);
}

// The message a malformed page gives; the one-pass reading must refuse it.
std::string failure(const std::string& text)
{
    ResultPage fast;
    EXPECT_FALSE(streamResultPage(text.c_str(), fast)) << "taken in one pass";
    ResultPage page;
    try {
        page.parseText(text.c_str());
    } catch (const CXMLException& error) {
        return error.message();
    }
    return "parsed";
}

std::string dataRow(const std::string& link, const std::string& cells = "")
{
    return "<tr><td>" + link + "</td>" + cells + "</tr>";
}

ResultPage withParts(const Edit& edit)
{
    ResultPageParts parts;
    edit(parts);
    return parsed(parts.text());
}

TEST(ResultPage, theExampleListingYieldsEveryField)
{
    EXPECT_TRUE(streams(ResultPageParts().text()));
    ResultPage page = parsed(ResultPageParts().text());
    EXPECT_EQ(page.versionMajor * 10 + page.versionMinor, 30);
    EXPECT_EQ(page.title, "protein");
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.message, "");
    ASSERT_EQ(page.subsets.size(), 2u);
    EXPECT_EQ(page.subsets[0].name + page.subsets[1].name + page.subsets[0].mode, "AlphaBeta");
    EXPECT_EQ(page.caption.name + " " + page.caption.mode, "Alpha rw-");
    EXPECT_EQ(page.columns, (std::vector<std::string>{"Name", "Length"}));
    ASSERT_EQ(page.rows.size(), 1u);
    const ResultRow& row = page.rows[0];
    EXPECT_EQ(row.name + " " + row.id + " " + row.checkoutBy + " " + row.mode,
              "P1 Alpha/P1 curator rw-");
    EXPECT_TRUE(row.readable);
    EXPECT_FALSE(row.writable);
    EXPECT_EQ(row.cells, std::vector<std::string>{"120"});
    EXPECT_EQ(std::vector<int>({page.totalFound, page.pageSize, page.firstNumber}),
              std::vector<int>({1, 20, 1}));
}

TEST(ResultPage, eachDefectGivesItsMessage)
{
    const struct
    {
        const char* defect;
        Edit edit;
        const char* message;
    } cases[] = {
        {"root in capitals", [](auto& p) { p.html = "<HTML>", p.htmlEnd = "</HTML>"; },
         "No root element <html> "},
        {"no head", [](auto& p) { p.head = ""; }, "No <head> element"},
        {"title not directly in head", [](auto& p) { p.head = "<head><x><title/></x></head>"; },
         "No <title> element"},
        {"body in capitals", [](auto& p) { p.body = "<BODY id=\"OK\">", p.bodyEnd = "</BODY>"; },
         "No <body> element"},
        {"body without id", [](auto& p) { p.body = "<body ID=\"OK\">"; },
         "No attribute \"id\" in element <body>"},
        {"no dir", [](auto& p) { p.dir = ""; }, "No <dir> element"},
        {"subset without link", [](auto& p) { p.dir = "<dir><li>Alpha</li></dir>"; },
         "No <a> element"},
        {"no table", [](auto& p) { p.table = "<div>", p.tableEnd = "</div>"; },
         "No <table> element"},
        {"no caption", [](auto& p) { p.caption = ""; }, "No <caption> element"},
        {"table without rows", [](auto& p) { p.header = p.rows = ""; }, "No element <tr> number 0"},
        {"rows inside tbody",
         [](auto& p) { p.header = "<tbody>" + p.header, p.rows += "</tbody>"; },
         "No element <tr> number 0"},
        {"data row without cells", [](auto& p) { p.rows = "<tr><th>P1</th></tr>"; },
         "No element <td> number 0"},
        {"object link without id", [](auto& p) { p.rows = dataRow("<a name=\"P1\">P1</a>"); },
         "No attribute \"id\" in element <a>"},
        {"two numbers", [](auto& p) { p.numbers = "<p><b>1</b></p><p><b>20</b></p>"; },
         "No element <p> number 2"},
        {"number without b", [](auto& p) { p.numbers = "<p><b>1</b></p><p>20</p><p/>"; },
         "No <b> element"},
        {"elements in the XHTML namespace",
         [](auto& p) { p.html = "<html xmlns=\"http://www.w3.org/1999/xhtml\" version=\"3\">"; },
         "No <head> element"},
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
    ResultPage page = withParts([&](auto& p) {
        p.rows = dataRow("<a id=\"" + huge + "\" mode=\"a&amp;" + huge + "\">" + huge + "</a>",
                         "<td>" + huge + "</td>");
    });
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_TRUE(page.rows[0].id == huge && page.rows[0].name == huge);
    EXPECT_TRUE(page.rows[0].mode == "a&" + huge);
    EXPECT_TRUE(page.rows[0].cells == std::vector<std::string>{huge});
}

TEST(ResultPage, versionsAndPagingNumbersFollowTheNumberRule)
{
    const struct
    {
        const char* html;
        int major, minor;
    } versions[] = {
        {"<html>", 1, 0},
        {"<html version=\"+5.-1\">", 5, -1},
        {"<html version=\"v2\">", 0, 0},
        {"<html version=\"2beta.7rc\">", 2, 7},
        {"<html version=\"99999999999.-99999999999\">", INT_MAX, INT_MIN},
    };
    for (const auto& c : versions) {
        ResultPage page = withParts([&](auto& p) { p.html = c.html; });
        EXPECT_EQ(page.versionMajor, c.major) << c.html;
        EXPECT_EQ(page.versionMinor, c.minor) << c.html;
    }
    const struct
    {
        const char* numbers;
        int total, size, first;
    } numbers[] = {
        {"<p><b>12 objects</b></p><p><b></b></p><p><b> -3</b></p>", 12, 0, -3},
        {"<p>found <b>7</b> in all</p><p><b>x1</b></p><p><b>0042</b></p>", 7, 0, 42},
        {"<p><b><i>5</i>0</b></p><p><b>2147483648</b></p><p><b>-2147483648</b></p>", 50, INT_MAX,
         INT_MIN},
    };
    for (const auto& c : numbers) {
        ResultPage page = withParts([&](auto& p) { p.numbers = c.numbers; });
        EXPECT_EQ(std::vector<int>({page.totalFound, page.pageSize, page.firstNumber}),
                  std::vector<int>({c.total, c.size, c.first}))
            << c.numbers;
    }
}

TEST(ResultPage, accessLettersAndStatusCase)
{
    const std::pair<const char*, const char*> rights[] = {
        {"", "rw"},
        {" access=\"r\"", "r-"},
        {" access=\"\"", "--"},
        {" access=\"RW\"", "--"},
        {" access=\"-w-r\"", "rw"},
    };
    for (const auto& [attribute, letters] : rights) {
        ResultPage page = withParts(
            [&](auto& p) { p.rows = dataRow(std::string("<a id=\"1\"") + attribute + ">P</a>"); });
        ASSERT_EQ(page.rows.size(), 1u);
        EXPECT_EQ(access(page.rows[0]), letters) << attribute;
    }
    // "OK" in any letter case is a listing; anything else an error page without rows.
    const std::pair<const char*, bool> statuses[] = {
        {"OK", true}, {"oK", true}, {"OKAY", false}, {" OK", false}, {"", false},
    };
    for (const auto& [status, listing] : statuses) {
        ResultPage page =
            withParts([&](auto& p) { p.body = std::string("<body id=\"") + status + "\">"; });
        EXPECT_EQ(page.status, status);
        EXPECT_EQ(page.rows.size(), listing ? 1u : 0u) << status;
        EXPECT_EQ(page.message.empty(), listing) << status;
    }
}

TEST(ResultPage, errorPagesAndOptionalParts)
{
    ResultPage error = parsed("<html><head><title>dnarna</title></head><body id=\"Denied\">\n"
                              "  <h1>Access</h1> denied to <i>db</i>\n</body></html>");
    EXPECT_EQ(error.status, "Denied");
    EXPECT_EQ(error.message, "Access denied to db");
    EXPECT_TRUE(error.subsets.empty() && error.columns.empty() && error.rows.empty());
    EXPECT_EQ(error.totalFound + error.pageSize + error.firstNumber, 0);

    ResultPage optional = withParts([](auto& p) {
        p.dir = "<dir/>";
        p.caption = "<caption>Query: <a>kinase</a> hits</caption>";
        p.header = "<tr/>";
        p.rows =
            dataRow("<a id=\"q/1\">One</a>") + dataRow("<a id=\"q/2\">Two</a>", "<td/><td>x</td>");
    });
    EXPECT_TRUE(optional.subsets.empty() && optional.columns.empty());
    EXPECT_EQ(optional.caption.name, "Query: kinase hits");
    ASSERT_EQ(optional.rows.size(), 2u);
    EXPECT_TRUE(optional.rows[0].cells.empty());
    EXPECT_EQ(optional.rows[1].cells, (std::vector<std::string>{"", "x"}));
}

TEST(ResultPage, aFailureHalfWayKeepsWhatWasRead)
{
    ResultPageParts parts;
    parts.rows = dataRow("<a id=\"a/1\">One</a>", "<td>10</td>") + dataRow("<a>Two</a>");
    ResultPage page;
    EXPECT_THROW(page.parseText(parts.text().c_str()), CXMLException);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].cells, std::vector<std::string>{"10"});
    EXPECT_EQ(page.rows[1].name, "Two");
    EXPECT_EQ(page.totalFound, 0);
}

TEST(ResultPage, onePassTakesPlainPagesInAnyArrangementAndLeavesOtherFormsToTheTree)
{
    const struct
    {
        const char* what;
        Edit edit;
        bool streamed;
    } cases[] = {
        {"an XML declaration and blanks everywhere",
         [](auto& p) {
             p.html = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html version=\" 3.1 \">\n ";
             p.head = "<head>\n <title>\n\t protein \r\n</title>\n</head>\n";
             p.numbers = "<p>\n<b> 7 </b></p><p><b>\t20</b></p>\n<p><b>3\n</b></p>\n";
         },
         true},
        {"body parts in another order, head after body, a second head and body",
         [](auto& p) {
             p.head = "";
             std::swap(p.dir, p.numbers);
             p.htmlEnd = "<head><title>dnarna</title></head><head><title>no</title></head>"
                         "<body id=\"ERROR\">late</body></html>";
         },
         true},
        {"first children only",
         [](auto& p) {
             p.head = "<head><x><title>inner</title></x><title>protein</title><title>2</title>"
                      "</head>";
             p.dir = "<dir><li><b><a>no</a></b><a>Alpha</a><a>second</a></li></dir><dir/>";
             p.caption = "<caption>In <b><a mode=\"r\">no</a></b><a mode=\"w\">A</a>"
                         "<a mode=\"x\">B</a></caption><caption>second</caption>";
             p.numbers = "<p><i><b>9</b></i><b>1</b><b>5</b></p><p><b>2</b></p><p><b>3</b></p>"
                         "<p>no b in the fourth</p>";
         },
         true},
        {"nested tables and rows that are not the table's",
         [](auto& p) {
             p.header = "<tr><td>ignored</td><th>Name<i> and</i></th><x><th>no</th></x></tr>";
             p.rows = "<tr><th>skipped</th><td><x><a id=\"no\">no</a></x><a id=\"i/1\">One</a>"
                      "<a id=\"i/2\">Two</a></td><td><table><tr><td>in</td></tr></table>"
                      "out</td></tr>";
         },
         true},
        {"texts with markup, references, sections and comments",
         [](auto& p) {
             p.rows = "<tr><td><a id=\"1\">A &amp; B &#233;&#x1F9EC;</a></td>"
                      "<td><![CDATA[<raw> & ]]>x<!-- hidden --><?pi hidden?>y</td>"
                      "<td>&lt;&gt;&quot;&apos;</td><td/></tr>";
         },
         true},
        {"attribute values the parser rewrites",
         [](auto& p) {
             p.rows = "<tr><td><a id=\"A &amp; B&#38;C&amp;#38;\" checkout_by=\"a\tb\nc\" "
                      "mode=\"&lt;&#233;&#x9;\" access=\"&#114;\" xml:lang=\"en\">x</a></td></tr>";
         },
         true},
        {"an error page without the listing parts",
         [](auto& p) {
             p.body = "<body id=\"error\">gone";
             p.dir = p.table = p.caption = p.header = p.rows = p.tableEnd = p.numbers = "";
         },
         true},
        {"a document type declaration", [](auto& p) { p.html = "<!DOCTYPE html>" + p.html; },
         false},
        {"a declared entity",
         [](auto& p) {
             p.html = "<!DOCTYPE html [<!ENTITY k \"kinase\">]>" + p.html;
             p.rows = "<tr><td><a id=\"1\">&k;</a></td></tr>";
         },
         false},
        {"a namespace",
         [](auto& p) { p.rows = "<tr xmlns:x=\"urn:x\"><td><a id=\"1\">P</a></td></tr>"; }, false},
        {"an unsupported XML version (a warning)",
         [](auto& p) { p.html = "<?xml version=\"1.1\"?>" + p.html; }, false},
    };
    for (const auto& c : cases) {
        ResultPageParts parts;
        c.edit(parts);
        EXPECT_EQ(streams(parts.text()), c.streamed) << c.what;
    }
    for (long rows : {0L, 5000L}) {
        const std::string page = DbscoutTest::GenerateResultPage(rows);
        EXPECT_TRUE(streams(page)) << rows;
        EXPECT_EQ(parsed(page).rows.size(), size_t(rows));
        EXPECT_NE(failure(page.substr(0, page.size() / 2)), "parsed") << rows;
    }
}

} // namespace
