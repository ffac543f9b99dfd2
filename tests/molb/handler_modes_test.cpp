// Subsets made by users, access-right changes, and the modes enforced on every command: a matrix
// of owner, group member and other user against modes, and a user who must never learn what an
// unreadable object is.

#include "molb_fixture.h"

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

    std::string refusal(const ProcessResult& result)
    {
        EXPECT_EQ(result.exitCode, 1) << result.output;
        return parseResultPage(result.output).message;
    }
    std::string modes() { return onOneLine(runSql("lab", "SELECT mode FROM objects ORDER BY id")); }

    std::vector<std::string> ids;
};

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
    struct Case
    {
        std::string path;
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {"", "MAIN", "\"MAIN\" is the reserved name of all objects."},
        {"", "main", "\"MAIN\" is the reserved name of all objects."},
        {"", "", "A subset needs a name."},
        {"", "taken", "A subset \"taken\" of dnarna objects exists already."},
        {ids[1] + "," + ids[0], "new", "You may not read object " + ids[0] + "."},
        {ids[1] + ",999", "new", "There is no object 999 of dnarna objects."},
        {"", " padded", "The subset name starts or ends with a blank, which a listing would lose."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refusal(operation("eve", c.path, "command=cs&command=dir&query=" + c.name)),
                  c.message)
            << c.name;
    EXPECT_EQ(onOneLine(runSql("lab", "SELECT name FROM subsets ORDER BY name")), "taken\n");
}

TEST_F(Modes, onlyTheOwnerChangesModesOfFreeObjectsAllOrNothing)
{
    ASSERT_EQ(
        operation("ann", ids[0] + "," + ids[1], "command=ochmod&command=dir&objmode=r*-").exitCode,
        0);
    EXPECT_EQ(modes(), "rr- rr- wrr\n");
    struct Case
    {
        std::string user;
        std::string path;
        std::string mode;
        std::string message;
    };
    const Case cases[] = {
        {"ann", ids[0] + "," + ids[2], "www",
         "Only the owner may change the access rights of \"c\"."},
        {"bob", ids[0], "www", "Only the owner may change the access rights of \"a\"."},
        {"ann", ids[0], "rw",
         "The mode \"rw\" is not three of \"-\", \"r\", \"w\" and \"*\" "
         "(owner, group, other)."},
        {"ann", ids[0], "rwx",
         "The mode \"rwx\" is not three of \"-\", \"r\", \"w\" and \"*\" "
         "(owner, group, other)."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            refusal(operation(c.user, c.path, "command=ochmod&command=dir&objmode=" + c.mode)),
            c.message);
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
    struct User
    {
        const char* name;
        size_t position; // of the mode character that applies
    };
    const User users[] = {{"ann", 0}, {"bob", 1}, {"eve", 2}};
    for (const char* mode : {"w--", "wr-", "ww-", "r-w", "rrr", "---"}) {
        chmod(ids[0], mode);
        for (const User& user : users) {
            const char right = mode[user.position];
            const std::string cell = std::string(mode) + " " + user.name;
            const Dbscout::ResultPage page = mainPage(user.name);
            ASSERT_EQ(page.rows.size(), 3u) << cell;
            EXPECT_EQ(page.rows[0].readable, right != '-') << cell;
            EXPECT_EQ(page.rows[0].writable, right == 'w') << cell;

            const ProcessResult fetched =
                runHandler(store.url("dnarna/" + ids[0] + "?command=fetch" + as(user.name)));
            EXPECT_EQ(fetched.exitCode == 0, right != '-') << cell;

            const ProcessResult out = operation(user.name, ids[0], "command=co&command=dir");
            EXPECT_EQ(out.exitCode == 0, right == 'w') << cell;
            if (out.exitCode == 0) {
                EXPECT_EQ(operation(user.name, ids[0], "command=ci&command=dir&comment=m").exitCode,
                          0)
                    << cell;
            }
            const ProcessResult saved = runHandler(
                store.url("dnarna/a?query=MAIN&command=put&force=yes" + as(user.name)), "v");
            EXPECT_EQ(parseStatusPage(saved.output).status == "OK", right == 'w') << cell;

            const ProcessResult subset =
                operation(user.name, ids[0],
                          "command=cs&command=dir&query=s" + std::to_string(user.position));
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
    const std::string common = "?start=0&page=50" + as("eve");
    const std::vector<ProcessResult> answers = {
        runHandler(store.url("dnarna/" + common + "&query=MAIN")),
        runHandler(store.url("dnarna/" + common + "&query=secretname")),
        runHandler(store.url("dnarna/" + common + "&query=name:secret")),
        runHandler(store.url("dnarna/" + common + "&query=hidden")),
        runHandler(store.url("dnarna/" + secret + "?command=fetch" + as("eve"))),
        runHandler(store.url("dnarna/" + secret + ":1?command=fetch" + as("eve"))),
        runHandler(store.url("dnarna/secretname?command=fetch" + as("eve"))),
        runHandler(store.url("dnarna/secretname?query=MAIN&command=put" + as("eve")), "x"),
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
