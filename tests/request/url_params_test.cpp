#include "request/url_params.h"

#include <gtest/gtest.h>

using namespace Dbscout;

TEST(UrlParams, extractTakesTheFirstParameterAndItsAmpersand)
{
    std::string url = "h://s/p?user=ann&pass=pw";
    EXPECT_EQ(ExtractUrlParam(url, "user="), "ann");
    EXPECT_EQ(url, "h://s/p?pass=pw");
    EXPECT_EQ(ExtractUrlParam(url, "pass="), "pw");
    EXPECT_EQ(url, "h://s/p?");
}

TEST(UrlParams, extractLeavesTheUrlAloneWhenNothingMatches)
{
    struct Case
    {
        std::string url, key, value, after;
    } cases[] = {
        {"h://s/p", "user=", "", "h://s/p"},                           // no '?'
        {"?user=x", "user=", "", "?user=x"},                           // '?' first
        {"h://s/p?pass=1", "user=", "", "h://s/p?pass=1"},             // key missing
        {"h://user=x/p?a=1", "user=", "", "h://user=x/p?a=1"},         // only before the '?'
        {"h://s/p?superuser=x&a=1", "user=", "x", "h://s/p?supera=1"}, // plain-text match
        {"h://s/p?q=%20&user=&a=1", "user=", "", "h://s/p?q=%20&a=1"},
        {"h://s/p?q=a%20b", "q=", "a%20b", "h://s/p?"}, // raw, not unescaped
        {"h://s/p?a=1&a=2", "a=", "1", "h://s/p?a=2"},  // first occurrence only
    };
    for (Case& c : cases) {
        EXPECT_EQ(ExtractUrlParam(c.url, c.key), c.value) << c.after;
        EXPECT_EQ(c.url, c.after);
    }
}

TEST(UrlParams, credentialsComeFromTheAuthorityOrFromParameters)
{
    struct Case
    {
        std::string url, user, password, after;
    } cases[] = {
        {"molb://ann:pw@host/db", "ann", "pw", "molb://host/db"},
        {"molb://ann:p:w@host/db", "ann", "p:w", "molb://host/db"},
        {"molb://ann@host/db", "ann", "old", "molb://host/db"}, // password kept
        {"molb://:pw@host/db", ":pw", "old", "molb://host/db"}, // ':' first
        {"molb://host/db?user=ann&pass=pw", "ann", "pw", "molb://host/db?"},
        {"molb://host/a@b", "", "", "molb://host/a@b"}, // '@' in the path
        {"molb://host/db?pass=pw", "", "pw", "molb://host/db?"},
    };
    for (Case& c : cases) {
        std::string user = "old", password = "old";
        SplitUrlCredentials(c.url, user, password);
        EXPECT_EQ(user, c.user) << c.after;
        EXPECT_EQ(password, c.password) << c.after;
        EXPECT_EQ(c.url, c.after);
    }
}

TEST(UrlParams, credentialsStayWhenTheUrlHasNoSchemeOrPath)
{
    for (std::string url : {"ann:pw@host", "://ann:pw@host/db", "molb://ann:pw@host"}) {
        const std::string before = url;
        std::string user = "u", password = "p";
        SplitUrlCredentials(url, user, password);
        EXPECT_EQ(url, before);
        EXPECT_EQ(user, "u");
        EXPECT_EQ(password, "p");
    }
}

TEST(UrlParams, replaceNameKeepsTheQueryPart)
{
    struct Case
    {
        std::string url, name, after;
        bool replaced;
    } cases[] = {
        {"molb://host/db/old?query=x", "new", "molb://host/db/new?query=x", true},
        {"molb://h/a/b", "x", "molb://h/a/x", true},
        {"molb://h/a/", "x y", "molb://h/a/x y", true},
        {"molb://h/a/b?q=1/2", "x", "molb://h/a/b?q=1/x", true}, // the last '/' decides
        {"no-slash?q=1", "x", "no-slash?q=1", false},
    };
    for (Case& c : cases) {
        EXPECT_EQ(ParseURLAndReplaceName(c.url, c.name.c_str()), c.replaced);
        EXPECT_EQ(c.url, c.after);
    }
    std::string url = "molb://h/a/b";
    EXPECT_TRUE(ParseURLAndReplaceName(url, nullptr));
    EXPECT_EQ(url, "molb://h/a/");
}

TEST(UrlParams, objectUrlReadsBackNameAndQuery)
{
    ObjectUrlParts parts = ReadObjectUrl("molb://host/db/my%20seq?query=a%20b&command=fetch");
    EXPECT_EQ(parts.escapedName, "my%20seq");
    EXPECT_EQ(parts.query, "a%20b");
    EXPECT_TRUE(parts.hasQuery);

    parts = ReadObjectUrl("plain");
    EXPECT_EQ(parts.escapedName, "plain");
    EXPECT_FALSE(parts.hasQuery);

    parts = ReadObjectUrl("molb://host/db/n?command=fetch&query=");
    EXPECT_EQ(parts.escapedName, "n");
    EXPECT_EQ(parts.query, "");
    EXPECT_TRUE(parts.hasQuery);
}
