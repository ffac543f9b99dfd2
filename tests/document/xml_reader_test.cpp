// The XML reader: what it accepts, what it refuses with which message, and how it walks.

#include "document/xml_exception.h"
#include "document/xml_reader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>

using namespace Dbscout;

namespace {

std::string loadOutcome(const char* text)
{
    try {
        CXMLReader reader;
        reader.LoadXML(text);
        return "loaded";
    } catch (const CXMLException& error) {
        return error.message();
    }
}

// A nested entity bomb: each level refers to the one below ten times, 10^8 leaves in all.
std::string entityBomb(const std::string& leaf, const std::string& use)
{
    std::string doc = "<!DOCTYPE html [<!ENTITY l0 \"" + leaf + "\">";
    for (int level = 1; level <= 8; ++level) {
        doc += "<!ENTITY l" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            doc += "&l" + std::to_string(level - 1) + ";";
        doc += "\">";
    }
    return doc + "]>" + use;
}

TEST(XmlReader, loadRefusesTextsThatAreNotWellFormedXml)
{
    const struct
    {
        const char* text;
        const char* message;
    } cases[] = {
        {nullptr, "Error parsing XML"},
        {"", "Error parsing XML"},
        {"<html><head></html>",
         "0x4c Line : 1 Char : 20 Opening and ending tag mismatch: head line 1 and html"},
        {"<html>", "0x4d Line : 1 Char : 7 Premature end of data in tag html line 1"},
        {"<html/><html/>", "0x5 Line : 1 Char : 8 Extra content at the end of the document"},
        {"<a:html/>", "0xc9 Line : 1 Char : 8 Namespace prefix a on html is not defined"},
        {"<html>&undefined;</html>", "0x1a Line : 1 Char : 18 Entity 'undefined' not defined"},
        {"<html>\xe9</html>",
         "0x9 Line : 1 Char : 7 Input is not proper UTF-8, indicate encoding !\n"
         "Bytes: 0xE9 0x3C 0x2F 0x68"},
        {"<!DOCTYPE html [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><html>&a;</html>",
         "0x59 Line : 1 Char : 4 Detected an entity reference loop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(loadOutcome(c.text), c.message);
    }
}

TEST(XmlReader, loadAcceptsWhatTheSystemEncodingAllows)
{
    const char* cases[] = {
        "<html/>",
        "\xef\xbb\xbf<html/>",                                                  // byte order mark
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><html>\xc3\xa9</html>", // label ignored
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"><html/>",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(loadOutcome(text), "loaded");
    }
}

TEST(XmlReader, entityBombInAnAttributeStopsTheParseEarly)
{
    std::string bomb = entityBomb("ha", "<html a=\"&l8;\"/>");
    std::string outcome = loadOutcome(bomb.c_str());
    EXPECT_EQ(outcome.substr(0, 5), "0x59 ");
    EXPECT_NE(outcome.find("Entity expansion limit exceeded"), std::string::npos) << outcome;
}

TEST(XmlReader, openRootComparesTheQualifiedNameExactly)
{
    const struct
    {
        const char* text;
        bool accepted;
    } cases[] = {
        {"<html/>", true},
        {"<htmlx/>", false},
        {"<h:html xmlns:h=\"http://www.w3.org/1999/xhtml\"/>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CXMLReader reader;
        reader.LoadXML(c.text);
        if (c.accepted) {
            EXPECT_TRUE(reader.OpenRoot("html"));
        } else {
            try {
                reader.OpenRoot("html");
                ADD_FAILURE() << "accepted";
            } catch (const CXMLException& error) {
                EXPECT_EQ(error.message(), "No root element <html> ");
            }
        }
    }
}

TEST(XmlReader, openRootBeforeAnyLoadFails)
{
    CXMLReader reader;
    EXPECT_THROW(reader.OpenRoot("html"), CXMLException);
    EXPECT_THROW(reader.PushChild("head", true), CXMLException);
    EXPECT_FALSE(reader.PushChild("head", false));
}

// One walk over a loaded document rooted at html: returns what it read, or the message it threw.
struct Walk
{
    const char* what;
    const char* text;
    std::function<std::string(CXMLReader&)> steps;
    std::string expected;
};

std::string run(const Walk& walk)
{
    try {
        CXMLReader reader;
        reader.LoadXML(walk.text);
        reader.OpenRoot("html");
        return walk.steps(reader);
    } catch (const CXMLException& error) {
        return "throws " + error.message();
    }
}

std::string text(CXMLReader& reader)
{
    std::string out = "unset";
    return reader.GetText(out, false) ? out : "no text";
}

std::string attribute(CXMLReader& reader, const char* name)
{
    std::string out = "unset";
    return reader.GetAttribute(name, out, false) ? out : "no attribute";
}

std::string pushed(CXMLReader& reader, const char* name)
{
    return reader.PushChild(name, false) ? "pushed" : "not pushed";
}

TEST(XmlReader, walksFindWhatTheyShouldAndNameWhatIsMissing)
{
    const char* page = "<html version=\"2\"><head><title>t</title></head>"
                       "<body><dir><li id=\"x\">one</li><li>two</li></dir></body></html>";
    auto intoDir = [](CXMLReader& r) {
        r.PushChild("body", true);
        r.PushChild("dir", true);
    };
    const Walk walks[] = {
        {"only direct children are found", page,
         [](CXMLReader& r) {
             std::string title = pushed(r, "title");
             return title + " " + pushed(r, "head");
         },
         "not pushed pushed"},
        {"a default namespace hides every child",
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head/></html>",
         [](CXMLReader& r) { return pushed(r, "head"); }, "not pushed"},
        {"a child that leaves the namespace again is found",
         "<html xmlns=\"urn:x\"><head xmlns=\"\"/></html>",
         [](CXMLReader& r) { return pushed(r, "head"); }, "pushed"},
        {"a negative index is missing", page,
         [&](CXMLReader& r) {
             intoDir(r);
             XMLNodeList list;
             r.SelectNodes(list, "li", true);
             return std::to_string(r.PushItem(list, -1, false));
         },
         "0"},
        {"an item has text but no readable attributes", page,
         [&](CXMLReader& r) {
             intoDir(r);
             XMLNodeList list;
             r.SelectNodes(list, "li", true);
             r.PushItem(list, 0, true);
             return text(r) + " " + attribute(r, "id");
         },
         "one no attribute"},
        {"popping returns to the element below", page,
         [&](CXMLReader& r) {
             intoDir(r);
             for (const char* name : {"dir", "body", "html", "html"})
                 r.PopElement(name);
             std::string head = pushed(r, "head");
             return head + " " + text(r);
         },
         "pushed t"},
        {"required text on an empty stack names the root", page,
         [](CXMLReader& r) {
             std::string out;
             return std::to_string(r.GetText(out, true));
         },
         "throws Error reading data in element <html>"},
        {"text gathers descendants and character data only, trimmed",
         "<html><body>\n  a<b>b<i>c</i></b><!--x--><?pi y?><![CDATA[<d>]]> \t\n</body></html>",
         [](CXMLReader& r) {
             r.PushChild("body", true);
             return "[" + text(r) + "]";
         },
         "[abc<d>]"},
        {"references are expanded in text and attributes",
         "<!DOCTYPE html [<!ENTITY co \"Korv &amp; Sons\">]>"
         "<html a=\"&co; &lt;&#65;&gt;\"><body>&co;&#x21;</body></html>",
         [](CXMLReader& r) {
             std::string a = attribute(r, "a");
             r.PushChild("body", true);
             return a + "|" + text(r);
         },
         "Korv & Sons <A>|Korv & Sons!"},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.what);
        EXPECT_EQ(run(walk), walk.expected);
    }
}

TEST(XmlReader, entityBombsInContentFailTheTextReadNotTheProcess)
{
    // Parsed lazily, so the expansion happens when the text is read; empty leaves cost nodes,
    // not bytes, and must be bounded too.
    for (const char* leaf : {"ha", ""}) {
        SCOPED_TRACE(leaf);
        std::string bomb = entityBomb(leaf, "<html><body>&l8;</body></html>");
        CXMLReader reader;
        reader.LoadXML(bomb.c_str());
        reader.OpenRoot("html");
        reader.PushChild("body", true);
        std::string out = "unchanged";
        EXPECT_FALSE(reader.GetText(out, false));
        EXPECT_EQ(out, "unchanged");
        try {
            reader.GetText(out, true);
            ADD_FAILURE() << "read";
        } catch (const CXMLException& error) {
            EXPECT_EQ(error.message(), "Error reading data in element <body>");
        }
    }
}

TEST(XmlReader, externalEntitiesAndDtdsAreNeverLoaded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::string secret = dir.filePath("secret.txt").toStdString();
    std::string dtd = dir.filePath("secret.dtd").toStdString();
    std::ofstream(secret) << "SECRET";
    std::ofstream(dtd) << "<!ENTITY e \"SECRET\">";

    // Where a declaration was not loaded the entity is undefined: either left out (the document
    // names an external subset, so it may be declared there) or refused.
    const struct
    {
        std::string doctype;
        const char* outcome;
    } cases[] = {
        {"<!DOCTYPE html [<!ENTITY e SYSTEM \"file://" + secret + "\">]>", "ab"},
        {"<!DOCTYPE html SYSTEM \"file://" + dtd + "\">", "ab"},
        {"<!DOCTYPE html [<!ENTITY % p SYSTEM \"file://" + dtd + "\"> %p;]>",
         "throws 0x1a Line : 1 Char : "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.doctype);
        std::string doc = c.doctype + "<html><body>a&e;b</body></html>";
        std::string outcome = run({"", doc.c_str(),
                                   [](CXMLReader& r) {
                                       r.PushChild("body", true);
                                       return text(r);
                                   },
                                   ""});
        EXPECT_EQ(outcome.substr(0, std::strlen(c.outcome)), c.outcome);
        EXPECT_EQ(outcome.find("SECRET"), std::string::npos);
    }
}

} // namespace
