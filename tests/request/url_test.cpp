// Every URL composer and escaping rule against exact expected strings, and the handler command
// a URL's scheme chooses.

#include "request/handler_command.h"
#include "request/list_url.h"
#include "request/object_url.h"
#include "request/operation_urls.h"
#include "request/url_escape.h"
#include "request/url_params.h"
#include "support/test_env.h"
#include "support/turkish_locale.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ListUrlInput typed(const std::string& address, bool openMode = true)
{
    ListUrlInput input;
    input.source.boxText = address;
    input.pageStart = 0;
    input.pageSize = 20;
    input.openMode = openMode;
    return input;
}

ListUrlInput withLogin(const std::string& address, const std::string& user,
                       const std::string& password)
{
    ListUrlInput input = typed(address);
    input.source.hasDescriptor = input.source.descriptorLogin = true;
    input.source.descriptorUrl = address;
    input.source.descriptorUser = user;
    input.source.descriptorPassword = password;
    input.source.boxText = "Description of the source";
    return input;
}

ObjectUrlInput named(const std::string& name, bool openMode, ObjectUrlOptions options = {})
{
    ObjectUrlInput input;
    input.nameBoxText = name;
    input.sourceUrl = "molb://host/db/sub";
    input.openMode = openMode;
    input.serverVersion = 3;
    input.checkOptionsArmed = true;
    input.options = options;
    return input;
}

std::string escaped(void (*escape)(const char*, int, std::string&), const std::string& text)
{
    std::string out;
    escape(text.data(), int(text.size()), out);
    return out;
}

} // namespace

TEST(UrlEscape, queryTextAndObjectNameEscapeEveryByteButLettersDigitsColonComma)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // input, query text, object name (which keeps '/')
        {"a-b_c.d~e", "a%2db%5fc%2ed%7ee", "a%2db%5fc%2ed%7ee"},
        {"x:1,2 AZaz09", "x:1,2%20AZaz09", "x:1,2%20AZaz09"},
        {"dir/file name", "dir%2ffile%20name", "dir/file%20name"},
        {"caf\xe9\xff\x80\x7f", "caf%e9%ff%80%7f", "caf%e9%ff%80%7f"},
        {std::string("a\0b", 3), "a%00b", "a%00b"},
        {"%&=?#+", "%25%26%3d%3f%23%2b", "%25%26%3d%3f%23%2b"},
    };
    for (const auto& [input, query, object] : cases) {
        EXPECT_EQ(escaped(EscapeQueryText, input), query) << input;
        EXPECT_EQ(escaped(EscapeObjectName, input), object) << input;
    }
    std::string out = "keep"; // appends, and ignores lengths of zero or less
    EscapeQueryText("a b", 0, out);
    EscapeQueryText("a b", -3, out);
    EscapeObjectName("a b", -1, out);
    EscapeQueryText("a b", 2, out);
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
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(EscapeComment(input), expected) << input;
    std::string url = "molb://h/d", withQuery = "molb://h/d?";
    appendUrlParam(url, "force=yes");
    appendUrlParam(url, "arcname=x");
    appendUrlParam(withQuery, "a=1");
    EXPECT_EQ(url, "molb://h/d?force=yes&arcname=x");
    EXPECT_EQ(withQuery, "molb://h/d?&a=1");
}

TEST(ListUrl, composesAddressPagingCredentialsQueryAndMode)
{
    ListUrlInput example = withLogin("molb://host/db/sub", "ann", "s3cret");
    example.pageStart = 40;
    example.queryBoxText = "a b";
    example.openMode = false;
    const std::string ids = "7,9", none;
    const std::tuple<ListUrlInput, const std::string*, std::string> cases[] = {
        {example, nullptr,
         "molb://host/db/sub?start=40&page=20&user=ann&pass=s3cret&query=a%20b&writable=yes"},
        {withLogin("molb://host/db", "ann", ""), nullptr,
         "molb://host/db?start=0&page=20&user=ann&pass="},
        // The object path follows the address after exactly one slash.
        {typed("molb://host/db"), &ids, "molb://host/db/7,9?start=0&page=20"},
        {typed("molb://host/db/"), &ids, "molb://host/db/7,9?start=0&page=20"},
        {typed("molb://host/db"), &none, "molb://host/db/?start=0&page=20"},
    };
    for (const auto& [input, path, expected] : cases)
        EXPECT_EQ(BuildListUrl(input, path).url, expected);

    ListUrlInput noAddress = typed("");
    noAddress.queryBoxText = "MAIN";
    EXPECT_EQ(BuildListUrl(noAddress).url, "");
    EXPECT_EQ(BuildListUrl(noAddress).query, "MAIN"); // recorded even so
}

TEST(ListUrl, choosesPendingAddressThenDescriptorThenBoxText)
{
    ListUrlInput input = withLogin("molb://listed/db", "ann", "pw");
    input.source.pendingAddress = "molb://typed/db";
    ListUrlResult pending = BuildListUrl(input);
    EXPECT_TRUE(pending.pendingUsed && !pending.sourceFromList);
    EXPECT_EQ(pending.user, ""); // a typed address forgets the descriptor's login
    EXPECT_EQ(pending.url, "molb://typed/db?start=0&page=20");

    input.source.pendingAddress.reset();
    ListUrlResult listed = BuildListUrl(input);
    EXPECT_TRUE(listed.sourceFromList && !listed.pendingUsed);
    EXPECT_EQ(listed.sourceUrl + " " + listed.user + " " + listed.password,
              "molb://listed/db ann pw");

    input.source.descriptorLogin = false;
    EXPECT_EQ(BuildListUrl(input).url, "molb://listed/db?start=0&page=20");
    EXPECT_FALSE(BuildListUrl(typed("molb://box/db")).sourceFromList);

    // Single selection only for descriptors without flag A, or in save mode.
    const std::tuple<bool, bool, bool, bool> modes[] = {
        {true, false, true, true},   {true, true, true, false},    {true, true, false, true},
        {false, false, true, false}, {false, false, false, false},
    };
    for (const auto& [descriptor, flagA, openMode, single] : modes) {
        input.source.hasDescriptor = descriptor;
        input.source.descriptorFlagA = flagA;
        input.openMode = openMode;
        EXPECT_EQ(BuildListUrl(input).singleSelection, single) << descriptor << flagA << openMode;
    }
    EXPECT_EQ(comboBoxText("typed", "item"), "typed");
    EXPECT_EQ(comboBoxText("", std::string(300, 'x')), std::string(260, 'x'));
    EXPECT_EQ(comboBoxText(std::string(300, 'y'), ""), std::string(300, 'y'));
}

TEST(SubsetListUrl, keepsTheListingUpToItsLastSlashWithCredentialsAndWritable)
{
    const std::string listing = "molb://host/db/sub?start=0&page=20";
    EXPECT_EQ(BuildSubsetListUrl(listing, "", "", false), "molb://host/db/?writable=yes");
    EXPECT_EQ(BuildSubsetListUrl(listing, "ann", "pw", false),
              "molb://host/db/?user=ann&pass=pw&writable=yes");
    EXPECT_EQ(BuildSubsetListUrl(listing, "ann", "", true), "molb://host/db/?user=ann&pass=");
    EXPECT_EQ(BuildSubsetListUrl("a/", "", "", true), "a/");
    EXPECT_FALSE(BuildSubsetListUrl("no-slash?start=0", "", "", true));
    EXPECT_FALSE(BuildSubsetListUrl("/only-leading", "", "", true));
}

TEST(ObjectUrl, replacesTheLastSegmentWithTheTrimmedEscapedNameAndRawCredentials)
{
    const auto example = BuildObjectUrl(named(" my seq ", true, {true}));
    ASSERT_TRUE(example);
    EXPECT_EQ(example->url, "molb://host/db/my%20seq?query=&command=fetch&command=co");
    EXPECT_EQ(example->name, "my seq");

    ObjectUrlInput input = named("dir/a.b", true);
    input.query = "x y/z";
    input.user = "ann";
    input.password = "p&w";
    EXPECT_EQ(BuildObjectUrl(input)->url,
              "molb://host/db/dir/a%2eb?query=x%20y%2fz&user=ann&pass=p&w&command=fetch");
    input.password = "";
    EXPECT_EQ(BuildObjectUrl(input)->url,
              "molb://host/db/dir/a%2eb?query=x%20y%2fz&user=ann&pass=&command=fetch");

    EXPECT_EQ(BuildObjectUrl(named("   ", true))->url, "molb://host/db/?query=&command=fetch");
    EXPECT_FALSE(BuildObjectUrl(named("", true)));
    input.sourceUrl = "molb:";
    EXPECT_FALSE(BuildObjectUrl(input));
}

TEST(ObjectUrl, checkAndDescendantOptionsFollowModeVersionAndArming)
{
    const ObjectUrlOptions all = {true, true, true, true, 0, 1};
    const struct
    {
        bool openMode;
        int version;
        bool armed;
        ObjectUrlOptions options;
        std::string tail;
    } cases[] = {
        {true, 2, true, all, "&command=fetch&command=co"},
        {true, 3, false, all, "&command=fetch"},
        {true, 3, true, {false, true}, "&command=fetch&descendant=co"},
        {false, 3, true, {false, false, false, false, 2, 0}, "&command=put&pdmode=disconnect"},
        {false, 3, true, {false, false, false, false, 1, 0}, "&command=put"},
        {false, 2, true, all, "&command=put&command=ci"},
        {false,
         4,
         false,
         {true, true, true, true, 2, 1},
         "&command=put&pdmode=disconnect&pderror=disconnect"},
    };
    for (const auto& c : cases) {
        ObjectUrlInput input = named("n", c.openMode, c.options);
        input.serverVersion = c.version;
        input.checkOptionsArmed = c.armed;
        EXPECT_EQ(BuildObjectUrl(input)->url, "molb://host/db/n?query=" + c.tail) << c.tail;
    }
}

// The panel's operation tests drive the common commands; here the edges they leave out.
TEST(OperationUrls, subsetCreationDropsOnlyTheQueryAndSaveEscapesTheArchiveName)
{
    std::string empty = "u?a=1";
    appendComment(empty, "");
    const std::pair<std::string, std::string> cases[] = {
        {empty, "u?a=1&comment="},
        {buildCreateSubsetUrl("molb://h/d/?start=0&page=20&query=A&writable=yes", "New set"),
         "molb://h/d/?start=0&page=20&writable=yes&command=cs&command=dir&query=New set"},
        {buildCreateSubsetUrl("molb://h/d/?start=0&page=20", "New set"),
         "molb://h/d/?start=0&page=20&command=cs&command=dir&query=New set"},
        {buildSaveUrl("molb://h/d/n?query=&command=put", true, "my file.gb"),
         "molb://h/d/n?query=&command=put&force=yes&arcname=my%20file%2egb"},
        {buildSaveUrl("molb://h/d/n", false, "a"), "molb://h/d/n?arcname=a"},
        {joinObjectIds({}), ""},
        {joinObjectIds({"7", "Alpha/P1", "12"}), "7,Alpha/P1,12"},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(url, expected);
}

TEST(UrlParams, extractTakesTheFirstParameterAndItsAmpersandOrNothing)
{
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        // url, key, value, url after
        {"h://s/p?user=ann&pass=pw", "user=", "ann", "h://s/p?pass=pw"},
        {"h://s/p", "user=", "", "h://s/p"},                           // no '?'
        {"?user=x", "user=", "", "?user=x"},                           // '?' first
        {"h://user=x/p?a=1", "user=", "", "h://user=x/p?a=1"},         // only after the '?'
        {"h://s/p?superuser=x&a=1", "user=", "x", "h://s/p?supera=1"}, // plain-text match
        {"h://s/p?q=%20&user=&a=1", "user=", "", "h://s/p?q=%20&a=1"},
        {"h://s/p?q=a%20b", "q=", "a%20b", "h://s/p?"}, // raw, not unescaped
    };
    for (auto [url, key, value, after] : cases) {
        EXPECT_EQ(ExtractUrlParam(url, key), value) << after;
        EXPECT_EQ(url, after);
    }
}

TEST(UrlParams, credentialsComeFromTheAuthorityOrFromParameters)
{
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"molb://ann:p:w@host/db", "ann", "p:w", "molb://host/db"},
        {"molb://ann@host/db", "ann", "old", "molb://host/db"}, // password kept
        {"molb://:pw@host/db", ":pw", "old", "molb://host/db"}, // ':' first
        {"molb://host/db?user=ann&pass=pw", "ann", "pw", "molb://host/db?"},
        {"molb://host/db?pass=pw", "", "pw", "molb://host/db?"},
        {"molb://host/a@b", "", "", "molb://host/a@b"},             // '@' in the path
        {"ann:pw@host", "old", "old", "ann:pw@host"},               // no scheme
        {"molb://ann:pw@host", "old", "old", "molb://ann:pw@host"}, // no path
    };
    for (auto [url, user, password, after] : cases) {
        std::string u = "old", p = "old";
        SplitUrlCredentials(url, u, p);
        EXPECT_EQ(u + " " + p + " " + url, user + " " + password + " " + after);
    }
}

TEST(UrlParams, replaceNameKeepsTheQueryPartAndObjectUrlReadsItBack)
{
    const std::tuple<std::string, const char*, std::string, bool> cases[] = {
        {"molb://host/db/old?query=x", "new", "molb://host/db/new?query=x", true},
        {"molb://h/a/", "x y", "molb://h/a/x y", true},
        {"molb://h/a/b?q=1/2", "x", "molb://h/a/b?q=1/x", true}, // the last '/' decides
        {"molb://h/a/b", nullptr, "molb://h/a/", true},
        {"no-slash?q=1", "x", "no-slash?q=1", false},
    };
    for (auto [url, name, after, replaced] : cases) {
        EXPECT_EQ(ParseURLAndReplaceName(url, name), replaced);
        EXPECT_EQ(url, after);
    }
    const std::tuple<std::string, std::string, std::string, bool> reads[] = {
        {"molb://host/db/my%20seq?query=a%20b&command=fetch", "my%20seq", "a%20b", true},
        {"plain", "plain", "", false},
        {"?query=q", "?query=q", "q", true}, // a first '?' at the start ends no name
        {"molb://host/db/n?command=fetch&query=", "n", "", true},
    };
    for (const auto& [url, name, query, hasQuery] : reads) {
        const ObjectUrlParts parts = readObjectUrl(url);
        EXPECT_EQ(parts.escapedName + " " + parts.query, name + " " + query);
        EXPECT_EQ(parts.hasQuery, hasQuery) << url;
    }
}

TEST(HandlerCommand, programAndArgumentsComeFromTheQuotedFieldsAndTheSchemeChoosesTheCommand)
{
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        // command, url, program, arguments
        {"\"/usr/bin/h\" \"%1 %1\"", "u?x=1", "/usr/bin/h", "u?x=1 u?x=1"},
        {"\"/usr/bin/h\" \"-v %1 --x\" ignored", "u", "/usr/bin/h", "-v u --x"},
        {"\"p\" \"%1\"", "a %1 b", "p", "a %1 b"},    // the URL is substituted unchanged
        {"\"/usr/bin/h\" %1", "u", "/usr/bin/h", ""}, // unquoted arguments are none
        {"/usr/bin/h %1", "u", "", ""},               // no quotes at all
        {"\"/usr/bin/h", "u", "", ""},                // unterminated
        {"", "u", "", ""},
    };
    for (const auto& [command, url, program, arguments] : cases) {
        EXPECT_EQ(HandlerProgramPath(command), program) << command;
        EXPECT_EQ(HandlerArguments(command, url), arguments) << command;
    }
    const std::string molb = "molb command", ncbi = "ncbi command";
    const std::pair<std::string, std::string> schemes[] = {
        {"MOLB://h/d", molb}, {"Molbx", molb}, {"ncbiplus://x", ncbi},
        {"http://h", ""},     {"ncb", ""},     {"", ""},
    };
    for (const auto& [url, expected] : schemes)
        EXPECT_EQ(handlerCommandForUrl(url, molb, ncbi), expected) << url;
}

TEST(HandlerCommand, theSchemeIsComparedInAsciiWhateverTheLocale)
{
    DbscoutTest::TestEnv env;
    DbscoutTest::TurkishLocale turkish(env.path());
    if (!turkish.active())
        GTEST_SKIP() << "no Turkish locale could be made";
    const std::string molb = "molb command", ncbi = "ncbi command";
    EXPECT_EQ(handlerCommandForUrl("NCBI://nucleotide/x", molb, ncbi), ncbi);
    EXPECT_EQ(handlerCommandForUrl("ncb\xfd://nucleotide/x", molb, ncbi), ""); // a dotless i
}
