// The status page of a save: success links, error pages, and the message each defect gives.

#include "document/status_page.h"
#include "document/xml_exception.h"
#include "page_parts.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Dbscout;
using DbscoutTest::StatusPageParts;

namespace {

// Success statuses take the link; "ERROR" in any case takes the title and the body's text.
TEST(StatusPage, successTakesTheLinkAndErrorTheTitleAndBodyText)
{
    const std::string checkedOut =
        "\n  <p>Object <b>pUC19</b> is checked out</p> <a href=\"x\">by curator</a>\n";
    const struct
    {
        const char* status;
        std::string content;
        const char* link; // text and href
        const char* message;
    } cases[] = {
        {"OK", "<a href=\"molb://local/db/dnarna/MAIN/pUC19\">pUC19</a>",
         "pUC19 molb://local/db/dnarna/MAIN/pUC19", ""},
        {"EXIST", "Stored as <a href=\"x\"> pUC19 (2) </a>.", "pUC19 (2) x", ""},
        {"ERRORS", "<a><b>p</b>UC</a>", "pUC ", ""},
        {"ERROR", checkedOut, " ", "Object pUC19 is checked out by curator"},
        {"error", checkedOut, " ", "Object pUC19 is checked out by curator"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        StatusPageParts parts;
        parts.body = std::string("<body id=\"") + c.status + "\">";
        parts.content = c.content;
        StatusPage page;
        page.parseText(parts.text().c_str());
        EXPECT_EQ(page.status, c.status);
        EXPECT_EQ(page.title, "Save");
        EXPECT_EQ(page.linkText + " " + page.linkHref, c.link);
        EXPECT_EQ(page.message, c.message);
        EXPECT_EQ(page.messageTitle, *c.message ? "Save" : "");
    }
}

TEST(StatusPage, eachDefectGivesItsMessage)
{
    using Edit = std::function<void(StatusPageParts&)>;
    const struct
    {
        const char* defect;
        Edit edit;
        const char* message;
    } cases[] = {
        {"document element not html",
         [](auto& p) { p.html = "<xhtml>", p.end = "</body></xhtml>"; }, "No root element <html> "},
        {"no head", [](auto& p) { p.head = "<title>Save</title>"; }, "No <head> element"},
        {"no title", [](auto& p) { p.head = "<head><Title>Save</Title></head>"; },
         "No <title> element"},
        {"body without status", [](auto& p) { p.body = "<body>"; },
         "No attribute \"id\" in element <body>"},
        {"success without its link", [](auto& p) { p.content = "pUC19"; }, "No <a> element"},
        {"an empty answer", [](auto& p) { p.html = p.head = p.body = p.content = p.end = ""; },
         "Error parsing XML"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defect);
        StatusPageParts parts;
        c.edit(parts);
        StatusPage page;
        try {
            page.parseText(parts.text().c_str());
            ADD_FAILURE() << "parsed";
        } catch (const CXMLException& error) {
            EXPECT_EQ(error.message(), c.message);
        }
    }
}

} // namespace
