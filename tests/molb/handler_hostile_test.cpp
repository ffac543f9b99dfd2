// Hostile requests: every one gets a page the component can read, an error or the right
// listing, and nothing is written outside the store folder.

#include "molb_harness.h"
#include "request/url_escape.h"

#include <filesystem>
#include <fstream>
#include <set>

using namespace MolbTest;

namespace {

std::set<std::string> filesUnder(const std::string& folder)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files.insert(entry.path().string());
    return files;
}

class HandlerHostile : public ::testing::Test
{
protected:
    void SetUp() override { saveObject("lab", "dnarna", "seq", ">seq kinase\nACGT\n"); }

    DbscoutTest::TestEnv env;
    TestStore store = makeStore("lab");
};

TEST_F(HandlerHostile, everyHostileRequestGetsAReadablePage)
{
    const std::string big(100 * 1024, 'q');
    std::string bigEscaped;
    for (int i = 0; i < 30000; ++i)
        bigEscaped += "%41";
    const std::vector<std::pair<std::string, const char*>> cases = {
        // URL, status of the page
        // NUL bytes and broken escapes in every parameter and the path
        {storeUrl("lab/dnarna/?start=0&page=5&query=%00"), "ERROR"},
        {storeUrl("lab/dnarna/?user=%00&pass=%00"), "OK"}, // raw credentials, store has no users
        {storeUrl("lab/dnarna/x?command=put&arcname=%00"), "ERROR"},
        {storeUrl("lab/dnarna/%00?command=fetch"), "ERROR"},
        {storeUrl("lab/dnarna/%?command=fetch"), "ERROR"},
        {storeUrl("lab%00/dnarna/"), "ERROR"},
        // databases outside the store folder
        {storeUrl("../dnarna/"), "ERROR"},
        {storeUrl("..%2f..%2ftmp%2fx/dnarna/"), "ERROR"},
        {storeUrl("/etc/passwd"), "ERROR"},
        {storeUrl("lab.sqlite/dnarna/"), "ERROR"}, // no such database; nothing created
        {"molb://server.example:5432/lab/dnarna/", "ERROR"},
        // oversized parameters
        {storeUrl("lab/dnarna/?start=0&page=5&query=") + big, "ERROR"},
        {storeUrl("lab/dnarna/?start=0&page=5&user=") + big, "OK"},
        {storeUrl("lab/dnarna/?start=0&page=5&query=") + bigEscaped, "ERROR"},
        {storeUrl("lab/dnarna/") + big + "?command=fetch", "ERROR"},
        {storeUrl("lab/dnarna/?start=0&page=5&") + big + "=x", "OK"},
        {"molb://" + big + ":5432/lab/dnarna/", "ERROR"}, // a host name, no server
        {storeUrl(big + "/dnarna/"), "ERROR"},            // a database name
        {storeUrl("lab/dnarna/?start=0&page=5&query=length>" + std::string(4000, '9') + "x"),
         "ERROR"}, // a search term
        // unknown commands
        {storeUrl("lab/dnarna/?command=drop"), "ERROR"},
        {storeUrl("lab/dnarna/1?command=co&command=dir"), "ERROR"},
        {storeUrl("lab/dnarna/?command=") + std::string(40, 'x'), "ERROR"},
        // SQL and full-text syntax in queries
        {storeUrl("lab/dnarna/?start=0&page=5&query=%27%3b%20DROP%20TABLE%20objects%3b--"), "OK"},
        {storeUrl("lab/dnarna/?start=0&page=5&query=NEAR(kinase%20x)%20*%20%5e"), "OK"},
        {storeUrl("lab/dnarna/?start=0&page=5&query=name:%27%20OR%20%271%27%3d%271"), "OK"},
        {storeUrl("lab/dnarna/?start=0&page=5&query=%22%22"), "OK"},
        {storeUrl("lab/dnarna/x%27%3b%20DROP%20TABLE%20objects%3b--?command=fetch"), "ERROR"},
        // garbage
        {"", "ERROR"},
        {storeUrl("lab/dnarna/?&&&==&=&start"), "ERROR"},
        {storeUrl("lab/dnarna/?start=0&page=5&query=%e9t%e9"), "OK"}, // Latin-1 bytes
    };
    const std::set<std::string> before = filesUnder(env.path());
    for (const auto& [url, status] : cases) {
        const ProcessResult result = runHandler(url);
        const std::string shortUrl = url.substr(0, 120);
        ASSERT_GE(result.exitCode, 0) << "crashed: " << shortUrl;
        const Dbscout::ResultPage page = parseResultPage(result.output);
        EXPECT_EQ(page.status, status) << shortUrl << "\n" << page.message;
        EXPECT_EQ(result.exitCode == 0, page.status == "OK") << shortUrl;
        if (page.status == "ERROR") {
            EXPECT_FALSE(page.message.empty()) << shortUrl;
            // What the request gave is repeated in part only.
            EXPECT_LE(page.message.size(), 300u) << shortUrl;
        }
    }
    // The store survived, and no file appeared anywhere in the test's world (the WAL files of
    // the store and the connection agent's folder, made for the request to a server, aside).
    EXPECT_EQ(parseResultPage(runHandler(store.url("dnarna/?start=0&page=5")).output).totalFound,
              1);
    for (const std::string& file : filesUnder(env.path())) {
        if (!before.count(file) && !file.starts_with(env.path() + "/runtime/molb")) {
            EXPECT_EQ(file.rfind(storeFolder() + "/lab.sqlite-", 0), 0u) << file;
        }
    }
}

TEST_F(HandlerHostile, namesWithEveryByteSurviveASaveAndAListing)
{
    // Every printable ASCII byte and a UTF-8 letter, escaped by the panel (which trims a name
    // first, so it never starts or ends with a blank).
    std::string name;
    for (char c = 0x21; c < 0x7f; ++c)
        name += c;
    name.insert(5, " ");
    name += "\xc3\xa9";
    std::string escaped;
    Dbscout::EscapeObjectName(name.data(), static_cast<int>(name.size()), escaped);
    const std::string id = saveObject("lab", "dnarna", escaped, "bytes");
    const Dbscout::ResultPage page =
        parseResultPage(runHandler(store.url("dnarna/?start=0&page=5")).output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[1].name, name);
    EXPECT_EQ(page.rows[1].id, id);
    EXPECT_EQ(runHandler(store.url("dnarna/" + escaped + "?command=fetch")).output, "bytes");
}

TEST_F(HandlerHostile, aStoreFileThatIsNoStoreIsReportedNotServed)
{
    if (serverStore())
        GTEST_SKIP() << "a local store's file; the server's own case is in pg_admin_test";
    std::ofstream(storeFolder() + "/junk.sqlite")
        << "not a database at all, just text long enough to be read as a header......";
    const ProcessResult result = runHandler(storeUrl("junk/dnarna/?start=0&page=5"));
    EXPECT_EQ(result.exitCode, 2);
    const Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.status, "ERROR");
    EXPECT_NE(page.message.find("junk.sqlite"), std::string::npos) << page.message;
}

} // namespace
