// What every read-only web handler does alike, in-process: how a request it has read ends (its
// refusals, records, listing, and the exit status of each), the pages the component reads of a
// listing, and the settings every web handler reads from both hives. The handlers' own tests run
// the same steps through their programs against stand-ins (tests/ncbi, tests/ebi).

#include "listing_page.h"
#include "read_only_serving.h"
#include "web_handler_harness.h"
#include "web_settings.h"

#include <fcntl.h>
#include <unistd.h>

using namespace Dbscout::Web;
using Dbscout::Handlers::ErrorCode;

namespace {

constexpr QueryFilter kFilters[] = {{"Reviewed", "reviewed:true"}, {"Human", "organism_id:9606"}};
const WebSource kSource{"test", "Test Source", "protein", {"Accession", "Length"}, kFilters};

// What serveReadOnly wrote on its output, and its exit status.
std::pair<std::string, int> served(const Status& parsed, const ReadOnlyRequest& request,
                                   const ReadOnlyHandler& handler)
{
    int ends[2];
    EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
    const int exit = serveReadOnly(parsed, request, handler, ends[1]);
    close(ends[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(got));
    close(ends[0]);
    return {output, exit};
}

TEST(ReadOnlyServing, eachWayARequestEndsHasItsPageAndExitStatus)
{
    WebTest::WebHandlerWorld world("Software\\Dbscout\\WebTest"); // its own cache folder
    struct Case
    {
        Status parsed;
        Command command;
        std::vector<std::string> ids;
        Status done;  // what the fetch or the listing ends with
        bool started; // the fetch sent records before it ended
        std::vector<std::string> missing;
        int exit;
        std::string output; // records, a result page's message, or an error page's
    };
    const Status refused = Status::fail(ErrorCode::BadRequest, "The address is malformed.");
    const Status failed = Status::fail(ErrorCode::Failure, "Test Source did not answer.");
    const Status none = Status::fail(ErrorCode::NotFound, "Test Source has no record X1.");
    for (const Case& c : std::vector<Case>{
             {refused, Command::Dir, {}, Status::pass(), false, {}, 1, "The address is malformed."},
             {Status::pass(),
              Command::Write,
              {"X1"},
              Status::pass(),
              false,
              {},
              1,
              "Test Source is read-only: its records cannot be saved, checked in or out, put "
              "into subsets or given access rights. Open the record and save a copy into a molb "
              "database to work on it."},
             {Status::pass(),
              Command::Unknown,
              {},
              Status::pass(),
              false,
              {},
              1,
              "The command \"frob\" is not served by the test handler."},
             {Status::pass(),
              Command::Fetch,
              {},
              Status::pass(),
              false,
              {},
              1,
              "The address names no record to open: add its accession."},
             {Status::pass(), Command::Fetch, {"X1", "X2"}, Status::pass(), true, {}, 0, "X1 X2 "},
             {Status::pass(), Command::Fetch, {"X1", "X2"}, Status::pass(), true, {"X2"}, 3, "X1 "},
             // Once records went out no page follows them: the exit status tells the failure.
             {Status::pass(), Command::Fetch, {"X1", "X2"}, failed, true, {}, 2, "X1 X2 "},
             {Status::pass(),
              Command::Fetch,
              {"X1"},
              failed,
              false,
              {},
              2,
              "Test Source did not answer."},
             {Status::pass(),
              Command::Fetch,
              {"X1"},
              none,
              false,
              {},
              1,
              "Test Source has no record X1."},
             {Status::pass(), Command::Dir, {}, Status::pass(), false, {}, 0, "listed"},
             {Status::pass(),
              Command::Dir,
              {},
              failed,
              false,
              {},
              2,
              "Test Source did not answer."},
         }) {
        ReadOnlyRequest request;
        request.command = c.command;
        request.commandWord = c.command == Command::Unknown ? "frob" : "";
        request.ids = c.ids;
        bool asked = false; // the service is read only when a request needs it
        const ReadOnlyHandler handler{
            "test",
            kSource.sourceName,
            "add its accession",
            [](const std::string& message) { return errorPage(&kSource, "TEST", message); },
            [&asked] {
                asked = true;
                Service service;
                service.name = "Test Source";
                service.files = "test";
                return service;
            },
            [&c](WebClient&, int out, FetchOutcome& outcome) {
                outcome.started = c.started;
                outcome.missing = c.missing;
                std::string records;
                for (const std::string& id : c.ids)
                    if (c.started && id != (c.missing.empty() ? "" : c.missing[0]))
                        records += id + " ";
                EXPECT_EQ(write(out, records.data(), records.size()),
                          static_cast<ssize_t>(records.size()));
                return c.done;
            },
            [&c](WebClient&, std::string& page) {
                Listing listing{&kSource, {}, 0, 0, 10, {}, {"listed"}};
                page = listingPage(listing);
                return c.done;
            }};
        const auto [output, exit] = served(c.parsed, request, handler);
        EXPECT_EQ(exit, c.exit) << c.output;
        EXPECT_EQ(asked,
                  c.parsed.ok() && c.command != Command::Write && c.command != Command::Unknown)
            << c.output;
        if (c.command == Command::Fetch && c.started) {
            EXPECT_EQ(output, c.output);
            continue;
        }
        const Dbscout::ResultPage page = MolbTest::parseResultPage(output);
        EXPECT_EQ(page.status, c.exit == 0 ? "OK" : "ERROR") << output;
        if (c.exit == 0)
            EXPECT_NE(output.find(c.output), std::string::npos) << output; // the listing's remark
        else
            EXPECT_EQ(page.message, c.output);
    }
}

TEST(ListingPage, theComponentReadsTheSourcesColumnsFiltersRowsAndNumbers)
{
    Listing listing{&kSource, "Human", 42, 10, 2, {}, {}};
    listing.rows = {{"P1", "INS_HUMAN", {"110"}, true}, {"", "Nothing found", {"-"}, false}};
    Dbscout::ResultPage page = MolbTest::parseResultPage(listingPage(listing));
    EXPECT_EQ(page.title, "protein");
    EXPECT_EQ(page.versionMajor, 1); // the panel offers no command that writes
    EXPECT_EQ(page.columns, (std::vector<std::string>{"Accession", "Length"}));
    ASSERT_EQ(page.subsets.size(), 2u);
    EXPECT_EQ(page.subsets[1].name, "Human");
    EXPECT_EQ(page.caption.name, "Human");
    EXPECT_EQ(WebTest::idsOf(page), (std::vector<std::string>{"P1", ""}));
    EXPECT_EQ(page.rows[0].cells, (std::vector<std::string>{"110"}));
    EXPECT_TRUE(page.rows[0].readable);
    EXPECT_FALSE(page.rows[1].readable || page.rows[1].writable); // it cannot be opened
    EXPECT_EQ(page.totalFound, 42);
    EXPECT_EQ(page.firstNumber, 11);
    listing.found = 0; // a row that says nothing was found is no object
    EXPECT_EQ(MolbTest::parseResultPage(listingPage(listing)).firstNumber, 0);
    EXPECT_EQ(MolbTest::parseResultPage(errorPage(nullptr, "TEST", "No.")).message, "No.");
}

struct Own : ServiceSettings
{
    std::string address = "https://service.example/api/";
};

// A base address from either hive ends in "/"; an empty one is the default; the user's wins.
TEST(WebSettings, baseAddressesFromBothHivesEndInASlashOrFallBack)
{
    struct Case
    {
        std::optional<std::string> machine;
        std::optional<std::string> user;
        std::string address;
    };
    for (const Case& c : std::vector<Case>{
             {std::nullopt, std::nullopt, "https://service.example/api/"},
             {"http://mirror/api", std::nullopt, "http://mirror/api/"},
             {"http://mirror/api", "", "https://service.example/api/"},
             {"", "http://local/", "http://local/"},
             {"http://mirror/", "http://local", "http://local/"},
         }) {
        DbscoutTest::TestEnv env;
        for (const auto& [hive, value] :
             {std::pair{HKEY_LOCAL_MACHINE, c.machine}, std::pair{HKEY_CURRENT_USER, c.user}}) {
            Dbscout::RegKey key;
            ASSERT_EQ(key.create(hive, "Software\\Dbscout\\WebTest"), ERROR_SUCCESS);
            if (value) {
                ASSERT_EQ(RegSetValueExA(key.get(), "Address", 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value->c_str()),
                                         static_cast<DWORD>(value->size() + 1)),
                          ERROR_SUCCESS);
            }
        }
        const Own own = loadSettings<Own>(
            "Software\\Dbscout\\WebTest", [](const SettingsKey& key, Own& settings) {
                key.address("Address", settings.address, "https://service.example/api/");
            });
        EXPECT_EQ(own.address, c.address) << c.machine.value_or("-") << " " << c.user.value_or("-");
    }
}

} // namespace
