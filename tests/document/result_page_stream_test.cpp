// The one-pass reading of result pages against the tree reading that defines the rules: every page
// it takes must come out field for field as the tree reads it, it must take the plain pages that
// handlers send, and it must refuse every page the tree reading fails on or that needs the tree.

#include "document/result_page.h"
#include "document/result_page_stream.h"
#include "document/xml_exception.h"
#include "page_generator.h"
#include "page_parts.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace Dbscout;
using DbscoutTest::ResultPageParts;

namespace {

// A text as a failure shows it: the huge values below would flood the log.
std::string shown(const std::string& text)
{
    if (text.size() <= 80)
        return '"' + text + '"';
    return '"' + text.substr(0, 60) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

void expectSameText(const std::string& streamed, const std::string& tree, const char* field)
{
    EXPECT_TRUE(streamed == tree) << field << ": " << shown(streamed) << " against " << shown(tree);
}

void expectSameTexts(const std::vector<std::string>& streamed, const std::vector<std::string>& tree,
                     const char* field)
{
    ASSERT_EQ(streamed.size(), tree.size()) << field;
    for (size_t i = 0; i < tree.size(); ++i)
        expectSameText(streamed[i], tree[i], field);
}

void expectSamePage(const ResultPage& streamed, const ResultPage& tree)
{
    expectSameText(streamed.status, tree.status, "status");
    expectSameText(streamed.message, tree.message, "message");
    expectSameText(streamed.messageTitle, tree.messageTitle, "message title");
    EXPECT_EQ(streamed.versionMajor, tree.versionMajor);
    EXPECT_EQ(streamed.versionMinor, tree.versionMinor);
    expectSameText(streamed.title, tree.title, "title");
    ASSERT_EQ(streamed.subsets.size(), tree.subsets.size());
    for (size_t i = 0; i < tree.subsets.size(); ++i) {
        expectSameText(streamed.subsets[i].name, tree.subsets[i].name, "subset name");
        expectSameText(streamed.subsets[i].mode, tree.subsets[i].mode, "subset mode");
    }
    expectSameText(streamed.caption.name, tree.caption.name, "caption name");
    expectSameText(streamed.caption.mode, tree.caption.mode, "caption mode");
    expectSameTexts(streamed.columns, tree.columns, "columns");
    ASSERT_EQ(streamed.rows.size(), tree.rows.size());
    for (size_t i = 0; i < tree.rows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const ResultRow& a = streamed.rows[i];
        const ResultRow& b = tree.rows[i];
        expectSameTexts(a.cells, b.cells, "cells");
        expectSameText(a.name, b.name, "name");
        expectSameText(a.id, b.id, "id");
        EXPECT_EQ(a.readable, b.readable);
        EXPECT_EQ(a.writable, b.writable);
        expectSameText(a.checkoutBy, b.checkoutBy, "checked out by");
        expectSameText(a.mode, b.mode, "mode");
    }
    EXPECT_EQ(streamed.totalFound, tree.totalFound);
    EXPECT_EQ(streamed.pageSize, tree.pageSize);
    EXPECT_EQ(streamed.firstNumber, tree.firstNumber);
}

// Reads text both ways. Returns whether the one-pass reading took it; where it did, the tree
// reading must have succeeded with the same page.
bool streamedAsTheTreeReadsIt(const std::string& text)
{
    ResultPage tree;
    std::string treeError;
    try {
        tree.ParseTree(text.c_str());
    } catch (const CXMLException& error) {
        treeError = error.message();
    }
    ResultPage streamed;
    bool taken = StreamResultPage(text.c_str(), streamed);
    if (taken) {
        EXPECT_EQ(treeError, "") << "taken in one pass, but the tree reading fails";
        expectSamePage(streamed, tree);
    }
    return taken;
}

using Edit = std::function<void(ResultPageParts&)>;

struct Case
{
    const char* what;
    Edit edit;
    bool streamed; // whether the one-pass reading takes it
};

void checkCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultPageParts parts;
        c.edit(parts);
        EXPECT_EQ(streamedAsTheTreeReadsIt(parts.text()), c.streamed);
    }
}

TEST(ResultPageStream, takesPlainPagesInAnyArrangementAsTheTreeReadsThem)
{
    checkCases({
        {"the example listing", [](auto&) {}, true},
        {"an XML declaration and blanks everywhere",
         [](auto& p) {
             p.html = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html version=\" 3.1 \">\n ";
             p.head = "<head>\n <title>\n\t protein \r\n</title>\n</head>\n";
             p.numbers = "<p>\n<b> 7 </b></p><p><b>\t20</b></p>\n<p><b>3\n</b></p>\n";
         },
         true},
        {"body parts in another order",
         [](auto& p) {
             std::swap(p.dir, p.numbers);
             p.table = "<p>extra</p>" + p.table;
         },
         true},
        {"head after body, a second head and body",
         [](auto& p) {
             p.head = "";
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
        {"an error page", [](auto& p) { p.body = "<body id=\"Denied\"><h1>No</h1> access "; },
         true},
        {"an error page without the listing parts",
         [](auto& p) {
             p.body = "<body id=\"error\">gone";
             p.dir = p.table = p.caption = p.header = p.rows = p.tableEnd = p.numbers = "";
         },
         true},
        {"an object link with no text and a data row with one cell",
         [](auto& p) { p.rows = "<tr><td><a id=\"\"/></td></tr>"; }, true},
        {"only the header row", [](auto& p) { p.rows = ""; }, true},
    });
}

TEST(ResultPageStream, leavesUnusualFormsAndEveryMalformedPageToTheTree)
{
    checkCases({
        {"a document type declaration", [](auto& p) { p.html = "<!DOCTYPE html>" + p.html; },
         false},
        {"a declared entity",
         [](auto& p) {
             p.html = "<!DOCTYPE html [<!ENTITY k \"kinase\">]>" + p.html;
             p.rows = "<tr><td><a id=\"1\">&k;</a></td></tr>";
         },
         false},
        {"a namespace", [](auto& p) { p.rows = "<tr xmlns:x=\"urn:x\"><td/></tr>"; }, false},
        {"the XHTML namespace",
         [](auto& p) { p.html = "<html xmlns=\"http://www.w3.org/1999/xhtml\">"; }, false},
        {"an unsupported XML version (a warning)",
         [](auto& p) { p.html = "<?xml version=\"1.1\"?>" + p.html; }, false},
        {"another root", [](auto& p) { p.html = "<page>", p.htmlEnd = "</page>"; }, false},
        {"cut in the middle of a row", [](auto& p) { p.rows.resize(40), p.tableEnd = ""; }, false},
        {"bytes that are not UTF-8", [](auto& p) { p.rows.insert(p.rows.find("P1<"), "\xe9"); },
         false},
        {"no title", [](auto& p) { p.head = "<head/>"; }, false},
        {"no body id", [](auto& p) { p.body = "<body>"; }, false},
        {"no dir", [](auto& p) { p.dir = ""; }, false},
        {"a subset without its link", [](auto& p) { p.dir = "<dir><li>A</li></dir>"; }, false},
        {"no table", [](auto& p) { p.table = "<div>", p.tableEnd = "</div>"; }, false},
        {"no caption", [](auto& p) { p.caption = ""; }, false},
        {"a caption without its link", [](auto& p) { p.caption = "<caption/>"; }, false},
        {"no rows at all", [](auto& p) { p.header = "", p.rows = ""; }, false},
        {"a data row without cells", [](auto& p) { p.rows = "<tr><th>P1</th></tr>"; }, false},
        {"a first cell without a link", [](auto& p) { p.rows = "<tr><td>P1</td></tr>"; }, false},
        {"an object link without id", [](auto& p) { p.rows = "<tr><td><a>P1</a></td></tr>"; },
         false},
        {"two numbers", [](auto& p) { p.numbers = "<p><b>1</b></p><p><b>2</b></p>"; }, false},
        {"a number without b", [](auto& p) { p.numbers = "<p/><p><b>2</b></p><p><b>3</b></p>"; },
         false},
    });
    EXPECT_FALSE(streamedAsTheTreeReadsIt(""));
}

TEST(ResultPageStream, takesLargeGeneratedPagesAndHugeValues)
{
    for (long rows : {0L, 1L, 120L, 5000L}) {
        SCOPED_TRACE(rows);
        std::string page = DbscoutTest::GenerateResultPage(rows);
        EXPECT_TRUE(streamedAsTheTreeReadsIt(page));
        EXPECT_FALSE(streamedAsTheTreeReadsIt(page.substr(0, page.size() / 2)));
    }
    ResultPageParts parts;
    std::string huge(3u << 20, 'x');
    parts.rows = "<tr><td><a id=\"" + huge + "\" mode=\"a&amp;" + huge + "\">" + huge +
                 "</a></td><td>" + huge + "</td></tr>";
    EXPECT_TRUE(streamedAsTheTreeReadsIt(parts.text()));
}

} // namespace
