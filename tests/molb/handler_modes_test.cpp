// Users, groups and modes: logins, subsets made by users, access-right changes, and the modes
// enforced on every command: a matrix of owner, group member and other user against modes, and a
// user who must never learn what an unreadable object is.

#include "molb_harness.h"

#include <tuple>

using namespace MolbTest;

namespace {

class Modes : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        for (const char* name : {"a", "b"})
            ids.push_back(save("ann", name));
        ids.push_back(save("bob", "c"));
    }

    std::string modes() { return onOneLine(runSql("lab", "SELECT mode FROM objects ORDER BY id")); }
    ProcessResult put(const std::string& user, const std::string& rest, const std::string& bytes)
    {
        return runHandler(store.url("dnarna/" + rest + "&command=put" + as(user)), bytes);
    }

    std::vector<std::string> ids;
};

TEST_F(Modes, missingOrWrongCredentialsGetAnErrorPageAndNoData)
{
    const std::string needs = "This database needs a user name and password (user= and pass=).";
    const std::string wrong = "Wrong user name or password.";
    for (const auto& [credentials, message] : std::vector<std::pair<std::string, std::string>>{
             {"", needs},
             {"&user=ann&pass=wrong", wrong},
             {"&user=nobody&pass=ann-pw", wrong},
         }) {
        for (const std::string& url : {store.url("dnarna/?start=0&page=10&query=MAIN"),
                                       store.url("dnarna/" + ids[0] + "?command=fetch")}) {
            const ProcessResult result = runHandler(url + credentials);
            EXPECT_EQ(result.output.find("ACGT"), std::string::npos) << url;
            const Dbscout::ResultPage page = parseResultPage(result.output);
            EXPECT_TRUE(page.rows.empty()) << url;
            EXPECT_EQ(refusal(result), message) << url << credentials;
        }
    }
}

TEST_F(Modes, passwordsAreStoredSaltedNeverInClear)
{
    // The local store keeps yescrypt hashes; the server keeps SCRAM verifiers of its roles.
    const std::string records =
        serverStore() ? "(SELECT rolpassword AS record FROM pg_authid WHERE rolname IN (SELECT "
                        "name FROM users)) r"
                      : "(SELECT password_hash AS record FROM users) r";
    const std::string hashes = runSql("lab", "SELECT record FROM " + records + " ORDER BY 1");
    for (const char* password : {"ann-pw", "bob-pw", "eve-pw"})
        EXPECT_EQ(hashes.find(password), std::string::npos);
    EXPECT_TRUE(hashes.starts_with(serverStore() ? "SCRAM-SHA-256$" : "$y$")) << hashes;
    // Every user has a salt of their own.
    EXPECT_EQ(runSql("lab", "SELECT count(DISTINCT substr(record, 1, 40)) FROM " + records), "3\n");
}

TEST_F(Modes, theDirectoryAndSavesFollowTheSubsetsModes)
{
    for (const auto& [name, mode] : {std::pair{"benchwork", "ww-"}, std::pair{"readable", "wrr"}})
        ASSERT_EQ(
            store.admin("subset add", {name, "--mode", mode, "--owner", "ann", ids[0]}).exitCode,
            0);
    using Case = std::tuple<const char*, const char*, std::vector<std::string>>;
    for (const auto& [user, writable, subsets] : {
             Case{"bob", "", {"MAIN", "benchwork", "readable"}},
             Case{"bob", "&writable=yes", {"MAIN", "benchwork"}},
             Case{"eve", "", {"MAIN", "readable"}},
         }) {
        std::vector<std::string> names;
        for (const Dbscout::SubsetEntry& subset :
             parseResultPage(
                 runHandler(store.url("dnarna/?" + as(user).substr(1) + writable)).output)
                 .subsets)
            names.push_back(subset.name);
        EXPECT_EQ(names, subsets) << user << writable;
    }
    EXPECT_EQ(parseStatusPage(put("eve", "evesown?query=benchwork", "x").output).message,
              "You may not add objects to the subset \"benchwork\".");
    EXPECT_EQ(parseStatusPage(put("bob", "bobsown?query=benchwork", "x").output).status, "OK");
    const Dbscout::ResultPage page = parseResultPage(
        runHandler(store.url("dnarna/?start=0&page=10&query=benchwork" + as("ann"))).output);
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[1].name, "bobsown");
}

TEST_F(Modes, aSaveOverAnotherUsersHoldIsRefusedAndTheHoldersIsNot)
{
    chmod(ids[0], "ww-");
    ASSERT_EQ(operation("ann", ids[0], "command=co&command=dir").exitCode, 0);
    const Dbscout::StatusPage held =
        parseStatusPage(put("bob", "a?query=MAIN&force=yes", "bob's").output);
    EXPECT_EQ(held.status, "ERROR");
    EXPECT_EQ(held.message, "\"a\" is checked out by ann.");
    EXPECT_EQ(parseStatusPage(put("ann", "a?query=MAIN&force=yes", "ann's").output).status, "OK");
    EXPECT_EQ(runHandler(store.url("dnarna/" + ids[0] + "?command=fetch" + as("bob"))).output,
              "ann's");
}

TEST_F(Modes, aNewSubsetBelongsToItsCreatorAndIsListedAtOnce)
{
    // The name travels raw and last, so "&" and a blank stay in it.
    const ProcessResult result =
        operation("bob", ids[2] + "," + ids[0], "command=cs&command=dir&query=bob's a&b list");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const Dbscout::ResultPage page = parseResultPage(result.output);
    EXPECT_EQ(page.caption.name, "bob's a&b list");
    EXPECT_EQ(page.caption.mode, "wrr");
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].name, "c");
    EXPECT_EQ(page.rows[1].name, "a");
    EXPECT_EQ(runSql("lab", "SELECT owner, grp FROM subsets"), "bob|bench\n");
    // An empty subset from an empty path.
    EXPECT_EQ(parseResultPage(operation("eve", "", "command=cs&command=dir&query=empty").output)
                  .totalFound,
              0);
}

TEST_F(Modes, refusedSubsetsAreNotCreated)
{
    chmod(ids[0], "w--");
    ASSERT_EQ(operation("ann", "", "command=cs&command=dir&query=taken").exitCode, 0);
    const std::string reserved = "\"MAIN\" is the reserved name of all objects.";
    using Case = std::tuple<std::string, std::string, std::string>;
    for (const auto& [path, name, message] : {
             Case{"", "MAIN", reserved},
             Case{"", "main", reserved},
             Case{"", "", "A subset needs a name."},
             Case{"", "taken", "A subset \"taken\" of dnarna objects exists already."},
             Case{ids[1] + "," + ids[0], "new", "You may not read object " + ids[0] + "."},
             Case{"", " padded",
                  "The subset name starts or ends with a blank, which a listing would lose."},
         })
        EXPECT_EQ(refusal(operation("eve", path, "command=cs&command=dir&query=" + name)), message)
            << name;
    EXPECT_EQ(onOneLine(runSql("lab", "SELECT name FROM subsets ORDER BY name")), "taken\n");
}

TEST_F(Modes, onlyTheOwnerChangesModesOfFreeObjectsAllOrNothing)
{
    ASSERT_EQ(
        operation("ann", ids[0] + "," + ids[1], "command=ochmod&command=dir&objmode=r*-").exitCode,
        0);
    EXPECT_EQ(modes(), "rr- rr- wrr\n");
    const std::string notMode =
        "\" is not three of \"-\", \"r\", \"w\" and \"*\" (owner, group, other).";
    using Case = std::tuple<std::string, std::string, std::string, std::string>;
    for (const auto& [user, path, mode, message] : {
             Case{"ann", ids[0] + "," + ids[2], "www",
                  "Only the owner may change the access rights of \"c\"."},
             Case{"bob", ids[0], "www", "Only the owner may change the access rights of \"a\"."},
             Case{"ann", ids[0], "rw", "The mode \"rw" + notMode},
         })
        EXPECT_EQ(refusal(operation(user, path, "command=ochmod&command=dir&objmode=" + mode)),
                  message);
    ASSERT_EQ(operation("bob", ids[2], "command=co&command=dir").exitCode, 0);
    EXPECT_EQ(refusal(operation("bob", ids[2], "command=ochmod&command=dir&objmode=w--")),
              "\"c\" is checked out by bob; its access rights cannot change.");
    EXPECT_EQ(modes(), "rr- rr- wrr\n");
}

TEST_F(Modes, onlyTheOwnerChangesASubsetsMode)
{
    ASSERT_EQ(operation("ann", ids[0], "command=cs&command=dir&query=work").exitCode, 0);
    const std::string change = "command=schmod&command=dir&subsetmode=*w-&subset=work";
    EXPECT_EQ(refusal(operation("bob", "", change)),
              "Only the owner may change the access rights of the subset \"work\".");
    const ProcessResult result = operation("ann", "", change);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(runSql("lab", "SELECT mode FROM subsets"), "ww-\n");
    // eve may no longer read it, so for her it does not exist.
    EXPECT_EQ(
        refusal(operation("eve", "", "command=schmod&command=dir&subsetmode=www&subset=work")),
        "There is no subset \"work\" of dnarna objects.");
}

// What each class of user may do under each mode, on every command.
TEST_F(Modes, everyCommandFollowsOwnerGroupAndOtherModes)
{
    for (const char* mode : {"w--", "wr-", "ww-", "r-w", "rrr", "---"}) {
        chmod(ids[0], mode);
        for (const auto& [user, position] : {std::pair{"ann", 0}, {"bob", 1}, {"eve", 2}}) {
            const char right = mode[position]; // the mode character that applies
            const std::string cell = std::string(mode) + " " + user;
            const Dbscout::ResultPage page = mainPage(user);
            ASSERT_EQ(page.rows.size(), 3u) << cell;
            EXPECT_EQ(page.rows[0].readable, right != '-') << cell;
            EXPECT_EQ(page.rows[0].writable, right == 'w') << cell;

            const ProcessResult fetched =
                runHandler(store.url("dnarna/" + ids[0] + "?command=fetch" + as(user)));
            EXPECT_EQ(fetched.exitCode == 0, right != '-') << cell;
            const ProcessResult out = operation(user, ids[0], "command=co&command=dir");
            EXPECT_EQ(out.exitCode == 0, right == 'w') << cell;
            if (out.exitCode == 0) {
                EXPECT_EQ(operation(user, ids[0], "command=ci&command=dir&comment=m").exitCode, 0)
                    << cell;
            }
            EXPECT_EQ(parseStatusPage(put(user, "a?query=MAIN&force=yes", "v").output).status ==
                          "OK",
                      right == 'w')
                << cell;
            const ProcessResult subset = operation(
                user, ids[0], "command=cs&command=dir&query=s" + std::to_string(position));
            EXPECT_EQ(subset.exitCode == 0, right != '-') << cell;
            runSql("lab", "DELETE FROM subsets");
        }
    }
}

TEST_F(Modes, aUserWhoMayNotReadNeverSeesTheNameOrTheBytes)
{
    const std::string secret = saveObject("lab", "dnarna", "secretname", "SECRETBYTES", as("ann"));
    chmod(secret, "w--");
    ASSERT_EQ(operation("ann", secret, "command=cs&command=dir&query=hidden").exitCode, 0);
    ASSERT_EQ(
        operation("ann", "", "command=schmod&command=dir&subsetmode=www&subset=hidden").exitCode,
        0);
    const std::string list = "dnarna/?start=0&page=50" + as("eve") + "&query=";
    const std::vector<ProcessResult> answers = {
        runHandler(store.url(list + "MAIN")),
        runHandler(store.url(list + "secretname")),
        runHandler(store.url(list + "name:secret")),
        runHandler(store.url(list + "hidden")),
        runHandler(store.url("dnarna/" + secret + "?command=fetch" + as("eve"))),
        runHandler(store.url("dnarna/" + secret + ":1?command=fetch" + as("eve"))),
        runHandler(store.url("dnarna/secretname?command=fetch" + as("eve"))),
        put("eve", "secretname?query=MAIN", "x"),
        operation("eve", secret, "command=co&command=dir"),
        operation("eve", secret, "command=ci&command=dir"),
        operation("eve", secret, "command=unco&command=dir"),
        operation("eve", secret, "command=ochmod&command=dir&objmode=www"),
        operation("eve", secret, "command=cs&command=dir&query=mine"),
    };
    for (size_t i = 0; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].output.find("SECRETBYTES"), std::string::npos) << i;
        // The name may only come back where eve typed it herself (a fetch or save by name).
        if (i != 6 && i != 7) {
            EXPECT_EQ(answers[i].output.find("secret"), std::string::npos)
                << i << ": " << answers[i].output;
        }
    }
    // MAIN keeps the row, blank, so that paging stays exact; searches and the subset do not.
    const Dbscout::ResultPage main = parseResultPage(answers[0].output);
    EXPECT_EQ(main.totalFound, 4);
    ASSERT_EQ(main.rows.size(), 4u);
    EXPECT_EQ(main.rows[3].name, "");
    EXPECT_EQ(main.rows[3].id, "");
    EXPECT_FALSE(main.rows[3].readable);
    EXPECT_EQ(parseResultPage(answers[1].output).totalFound, 0);
    EXPECT_EQ(parseResultPage(answers[2].output).totalFound, 0);
    const Dbscout::ResultPage subset = parseResultPage(answers[3].output);
    EXPECT_EQ(subset.caption.name, "hidden");
    EXPECT_EQ(subset.rows.size(), 1u);
    EXPECT_EQ(parseStatusPage(answers[7].output).status, "EXIST"); // names are unique per kind
}

} // namespace
