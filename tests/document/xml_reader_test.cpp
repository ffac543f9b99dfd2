// The XML reader: what it accepts, what it refuses with which message, how it walks, and hostile
// documents (entity bombs, external entities).

#include "document/xml_exception.h"
#include "document/xml_reader.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <functional>

using namespace Dbscout;

namespace {

// What one walk over a loaded document rooted at html returns, or the message it throws.
std::string outcome(const char* text, const std::function<std::string(CXMLReader&)>& walk)
{
    try {
        CXMLReader reader;
        reader.LoadXML(text);
        if (!walk)
            return "loaded";
        reader.OpenRoot("html");
        return walk(reader);
    } catch (const CXMLException& error) {
        return "throws " + error.message();
    }
}

std::string text(CXMLReader& reader)
{
    std::string out = "unset";
    return reader.GetText(out, false) ? out : "no text";
}

std::string pushed(CXMLReader& reader, const char* name)
{
    return reader.PushChild(name, false) ? "pushed" : "not pushed";
}

std::string bodyText(CXMLReader& reader)
{
    reader.PushChild("body", true);
    return text(reader);
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

TEST(XmlReader, loadRefusesWhatIsNotWellFormedAndAcceptsWhatTheEncodingAllows)
{
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, "throws Error parsing XML"},
        {"", "throws Error parsing XML"},
        {"<html/><html/>", "throws 0x5 Line : 1 Char : 8 Extra content at the end of the document"},
        {"<a:html/>", "throws 0xc9 Line : 1 Char : 8 Namespace prefix a on html is not defined"},
        {"<html>&undefined;</html>",
         "throws 0x1a Line : 1 Char : 18 Entity 'undefined' not defined"},
        {"<!DOCTYPE html [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><html>&a;</html>",
         "throws 0x59 Line : 1 Char : 4 Detected an entity reference loop"},
        {"\xef\xbb\xbf<html/>", "loaded"}, // byte order mark
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><html>\xc3\xa9</html>", "loaded"},
        {"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"><html/>",
         "loaded"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(outcome(text, nullptr), expected) << (text ? text : "(null)");

    const std::string bomb = entityBomb("ha", "<html a=\"&l8;\"/>");
    const std::string refused = outcome(bomb.c_str(), nullptr);
    EXPECT_EQ(refused.substr(0, 12), "throws 0x59 ");
    EXPECT_NE(refused.find("Entity expansion limit exceeded"), std::string::npos) << refused;
}

TEST(XmlReader, openRootComparesTheQualifiedNameExactly)
{
    const std::pair<const char*, std::string> cases[] = {
        {"<html/>", "1"},
        {"<htmlx/>", "throws No root element <html> "},
        {"<h:html xmlns:h=\"http://www.w3.org/1999/xhtml\"/>", "throws No root element <html> "},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(outcome(text, [](CXMLReader&) { return "1"; }), expected) << text;
    CXMLReader reader; // nothing loaded
    EXPECT_THROW(reader.OpenRoot("html"), CXMLException);
    EXPECT_THROW(reader.PushChild("head", true), CXMLException);
    EXPECT_FALSE(reader.PushChild("head", false));
}

TEST(XmlReader, walksFindWhatTheyShould)
{
    const char* page = "<html version=\"2\"><head><title>t</title></head>"
                       "<body><dir><li id=\"x\">one</li><li>two</li></dir></body></html>";
    auto firstItem = [](CXMLReader& r, int index) {
        r.PushChild("body", true);
        r.PushChild("dir", true);
        XMLNodeList list;
        r.SelectNodes(list, "li", true);
        return r.PushItem(list, index, false);
    };
    const struct
    {
        const char* what;
        const char* text;
        std::function<std::string(CXMLReader&)> walk;
        std::string expected;
    } walks[] = {
        {"a child that leaves the namespace again is found",
         "<html xmlns=\"urn:x\"><head xmlns=\"\"/></html>",
         [](CXMLReader& r) { return pushed(r, "head"); }, "pushed"},
        {"a negative index is missing", page,
         [&](CXMLReader& r) { return std::to_string(firstItem(r, -1)); }, "0"},
        {"an item has text but no readable attributes", page,
         [&](CXMLReader& r) {
             firstItem(r, 0);
             std::string id = "unset";
             const bool found = r.GetAttribute("id", id, false);
             return text(r) + " " + std::to_string(found) + id;
         },
         "one 0unset"},
        {"popping returns to the element below", page,
         [&](CXMLReader& r) {
             r.PushChild("body", true);
             r.PushChild("dir", true);
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
    };
    for (const auto& w : walks)
        EXPECT_EQ(outcome(w.text, w.walk), w.expected) << w.what;
}

TEST(XmlReader, entityBombsInContentFailTheTextReadNotTheProcess)
{
    // Parsed lazily, so the expansion happens when the text is read; empty leaves cost nodes,
    // not bytes, and must be bounded too.
    for (const char* leaf : {"ha", ""}) {
        const std::string bomb = entityBomb(leaf, "<html><body>&l8;</body></html>");
        EXPECT_EQ(outcome(bomb.c_str(), bodyText), "no text") << leaf;
        EXPECT_EQ(outcome(bomb.c_str(),
                          [](CXMLReader& r) {
                              std::string out;
                              r.PushChild("body", true);
                              return std::to_string(r.GetText(out, true));
                          }),
                  "throws Error reading data in element <body>");
    }
}

TEST(XmlReader, externalEntitiesAndDtdsAreNeverLoaded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string secret = dir.filePath("secret.txt").toStdString();
    const std::string dtd = dir.filePath("secret.dtd").toStdString();
    std::ofstream(secret) << "SECRET";
    std::ofstream(dtd) << "<!ENTITY e \"SECRET\">";

    // Where a declaration was not loaded the entity is undefined: either left out (the document
    // names an external subset, so it may be declared there) or refused.
    const std::pair<std::string, std::string> cases[] = {
        {"<!DOCTYPE html [<!ENTITY e SYSTEM \"file://" + secret + "\">]>", "ab"},
        {"<!DOCTYPE html SYSTEM \"file://" + dtd + "\">", "ab"},
        {"<!DOCTYPE html [<!ENTITY % p SYSTEM \"file://" + dtd + "\"> %p;]>",
         "throws 0x1a Line : 1 Char : "},
    };
    for (const auto& [doctype, expected] : cases) {
        const std::string doc = doctype + "<html><body>a&e;b</body></html>";
        const std::string result = outcome(doc.c_str(), bodyText);
        EXPECT_EQ(result.substr(0, expected.size()), expected) << doctype;
        EXPECT_EQ(result.find("SECRET"), std::string::npos);
    }
}

} // namespace
