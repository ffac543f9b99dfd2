#include "request/url_escape.h"

#include <gtest/gtest.h>

#include <string>

using namespace Dbscout;

namespace {

std::string queryText(const std::string& text)
{
    std::string out;
    EscapeQueryText(text.data(), int(text.size()), out);
    return out;
}

std::string objectName(const std::string& text)
{
    std::string out;
    EscapeObjectName(text.data(), int(text.size()), out);
    return out;
}

struct EscapeCase
{
    std::string input;
    std::string query;  // EscapeQueryText
    std::string object; // EscapeObjectName
};

} // namespace

TEST(UrlEscape, queryTextAndObjectNameEscapeEveryByteButLettersDigitsColonComma)
{
    const EscapeCase cases[] = {
        {"a-b_c.d~e", "a%2db%5fc%2ed%7ee", "a%2db%5fc%2ed%7ee"},
        {"x:1,2", "x:1,2", "x:1,2"},
        {"dir/file name", "dir%2ffile%20name", "dir/file%20name"},
        {"AZaz09", "AZaz09", "AZaz09"},
        {"a b", "a%20b", "a%20b"},
        {"caf\xe9", "caf%e9", "caf%e9"},
        {"\xff\x80\x7f", "%ff%80%7f", "%ff%80%7f"},
        {std::string("a\0b", 3), "a%00b", "a%00b"},
        {"%&=?#+", "%25%26%3d%3f%23%2b", "%25%26%3d%3f%23%2b"},
        {"", "", ""},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(queryText(c.input), c.query) << c.input;
        EXPECT_EQ(objectName(c.input), c.object) << c.input;
    }
}

TEST(UrlEscape, escapingAppendsAndIgnoresLengthsOfZeroOrLess)
{
    std::string out = "keep";
    EscapeQueryText("a b", 0, out);
    EscapeQueryText("a b", -3, out);
    EscapeObjectName("a b", -1, out);
    EXPECT_EQ(out, "keep");
    EscapeQueryText("a b", 2, out); // only the first two bytes
    EXPECT_EQ(out, "keepa%20");
}

TEST(UrlEscape, commentEscapesEachCharacterOfTheTable)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\\b", "a\\\\b"},
        {"x=1&y", "x\\x3D1\\x26y"},
        {"line\nnext\rtab\t", "line\\nnext\\rtab\\t"},
        {"/?;\"'|", "\\x2F\\x3F\\x3B\\x22\\x27\\x7C"},
        {"\\n", "\\\\n"}, // a literal backslash-n is not an escaped line feed
        {"100% #1 + caf\xe9", "100% #1 + caf\xe9"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(EscapeComment(input), expected) << input;
}

TEST(UrlEscape, separatorRuleUsesQuestionMarkOnlyForTheFirstParameter)
{
    std::string url = "molb://h/d";
    AppendUrlParam(url, "force=yes");
    AppendUrlParam(url, "arcname=x");
    EXPECT_EQ(url, "molb://h/d?force=yes&arcname=x");
    std::string withQuery = "molb://h/d?";
    AppendUrlParam(withQuery, "a=1");
    EXPECT_EQ(withQuery, "molb://h/d?&a=1");
}
