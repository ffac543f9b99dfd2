// Check-out, check-in and undo check-out through real handler processes: the holds, the
// all-or-nothing rule with the first offending object named, descendants, the steps after a fetch
// and a save, and comments that survive the component's escaping.

#include "molb_harness.h"
#include "request/url_escape.h"

#include <QByteArray>

#include <tuple>

using namespace MolbTest;

namespace {

class Checkout : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        for (const char* name : {"a", "b", "c"})
            ids.push_back(save("ann", name));
        // The group may write a and b; c stays the owner's.
        chmod(ids[0], "ww-");
        chmod(ids[1], "ww-");
    }

    std::string joined(std::initializer_list<size_t> which)
    {
        std::string path;
        for (size_t i : which)
            path += (path.empty() ? "" : ",") + ids[i];
        return path;
    }
    std::string revisionCount(const std::string& id)
    {
        return runSql("lab", "SELECT count(*) FROM revisions WHERE object_id = " + id);
    }

    std::vector<std::string> ids;
};

TEST_F(Checkout, aRefusedCheckOutNamesTheFirstOffenderAndTakesNothing)
{
    ASSERT_EQ(operation("ann", ids[1], "command=co&command=dir").exitCode, 0);
    chmod(ids[2], "w--");
    using Case = std::tuple<std::string, std::string, std::string>;
    for (const auto& [user, path, message] : {
             Case{"bob", joined({0, 1}), "\"b\" is checked out by ann."},
             Case{"bob", joined({0, 2}), "You may not read object " + ids[2] + "."},
             Case{"eve", joined({0}), "You may not read object " + ids[0] + "."},
             Case{"bob", joined({0}) + ",999", "There is no object 999 of dnarna objects."},
             Case{"bob", joined({0}) + ",x",
                  "\"x\" is not an object id; the path holds ids joined by \",\"."},
             Case{"bob", "",
                  "The address names no object: put the ids after the kind, joined by \",\"."},
         })
        EXPECT_EQ(refusal(operation(user, path, "command=co&command=dir")), message) << path;
    chmod(ids[2], "wr-");
    EXPECT_EQ(refusal(operation("bob", joined({0, 2}), "command=co&command=dir")),
              "You may not change \"c\".");
    EXPECT_EQ(holders(), "a= b=ann c=");
    // An object of another kind is not found under this one.
    const std::string protein = save("ann", "p", "protein");
    EXPECT_EQ(refusal(operation("ann", protein, "command=co&command=dir")),
              "There is no object " + protein + " of dnarna objects.");
}

TEST_F(Checkout, descendantsComeAlongTransitivelyAndAllOrNothing)
{
    ASSERT_EQ(store.admin("link", {ids[0], ids[1]}).exitCode, 0);
    ASSERT_EQ(store.admin("link", {ids[1], ids[2]}).exitCode, 0);
    ASSERT_EQ(operation("ann", ids[0], "command=co&command=dir").exitCode, 0);
    EXPECT_EQ(holders(), "a=ann b= c=");
    ASSERT_EQ(operation("ann", ids[0], "command=unco&command=dir").exitCode, 0);

    // bob may not write c, two links below a: nothing is taken.
    EXPECT_EQ(refusal(operation("bob", ids[0], "command=co&descendant=co&command=dir")),
              "You may not change \"c\".");
    EXPECT_EQ(holders(), "a= b= c=");
    ASSERT_EQ(operation("ann", ids[0], "command=co&descendant=co&command=dir").exitCode, 0);
    EXPECT_EQ(holders(), "a=ann b=ann c=ann");

    // Check-in with descendants releases what the user holds below, each with a revision.
    ASSERT_EQ(operation("ann", ids[0], "command=ci&descendant=ci&command=dir&comment=x").exitCode,
              0);
    EXPECT_EQ(holders(), "a= b= c=");
    for (const std::string& id : ids)
        EXPECT_EQ(revisionCount(id), "2\n");
}

TEST_F(Checkout, onlyTheHolderChecksInOrUndoesAndACheckInRecordsItsAuthor)
{
    ASSERT_EQ(operation("bob", ids[0], "command=co&command=dir").exitCode, 0);
    for (const char* command : {"ci", "unco"}) {
        const std::string parameters = std::string("command=") + command + "&command=dir";
        EXPECT_EQ(refusal(operation("ann", ids[0], parameters)),
                  "\"a\" is checked out by bob, not by you.");
        EXPECT_EQ(refusal(operation("bob", ids[1], parameters)), "\"b\" is not checked out.");
        EXPECT_EQ(refusal(operation("eve", ids[0], parameters)),
                  "You may not read object " + ids[0] + ".");
    }
    EXPECT_EQ(holders(), "a=bob b= c=");
    // Taking what one holds already is no conflict.
    ASSERT_EQ(operation("bob", ids[0], "command=co&command=dir").exitCode, 0);
    ASSERT_EQ(operation("bob", ids[0], "command=ci&command=dir&comment=done").exitCode, 0);
    EXPECT_EQ(holders(), "a= b= c=");
    EXPECT_EQ(runSql("lab", "SELECT revision, author, comment FROM revisions WHERE object_id = " +
                                ids[0] + " ORDER BY revision"),
              "1|ann|\n2|bob|done\n");
    // The new revision holds the same bytes.
    EXPECT_EQ(
        runHandler(store.url("dnarna/" + ids[0] + "?command=fetch&revision=2" + as("bob"))).output,
        ">a\nACGT\n");
}

TEST_F(Checkout, aCheckInThatThrowsIsAnsweredWithAnErrorPageAndChangesNothing)
{
    ASSERT_EQ(operation("bob", ids[0], "command=co&command=dir").exitCode, 0);
    const std::string checkIn =
        store.url("dnarna/" + ids[0] + "?start=0&page=50" + as("bob") + "&command=ci&command=dir");
    // As a fault of the program would, inside the check-in's transaction (locally the handler's
    // own, on a server the connection agent's).
    const ProcessResult failed =
        runProcess(handlerPath(), {checkIn}, {}, {"DBSCOUT_MOLB_TEST_PAUSE=checkin:throw"});
    EXPECT_EQ(failed.exitCode, 2);
    const Dbscout::ResultPage page = parseResultPage(failed.output);
    EXPECT_EQ(page.status, "ERROR");
    EXPECT_EQ(page.message, "The request failed inside the handler: test fault at checkin.");
    EXPECT_EQ(holders(), "a=bob b= c=");
    EXPECT_EQ(revisionCount(ids[0]), "1\n");
    // Nothing of it stands in the way of the next request.
    ASSERT_EQ(operation("bob", ids[0], "command=ci&command=dir").exitCode, 0);
    EXPECT_EQ(holders(), "a= b= c=");
}

TEST_F(Checkout, aFetchWithCheckOutHoldsTheObjectOrSendsNothing)
{
    ProcessResult result =
        runHandler(store.url("dnarna/a?query=&command=fetch&command=co" + as("bob")));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, ">a\nACGT\n");
    EXPECT_EQ(holders(), "a=bob b= c=");

    result = runHandler(store.url("dnarna/a?query=&command=fetch&command=co" + as("ann")));
    EXPECT_EQ(refusal(result), "\"a\" is checked out by bob.");
    EXPECT_EQ(result.output.find("ACGT"), std::string::npos);
}

TEST_F(Checkout, aSaveWithCheckInStoresTheRevisionAndReleasesTheHold)
{
    ASSERT_EQ(operation("bob", ids[0], "command=co&command=dir").exitCode, 0);
    const ProcessResult result = runHandler(
        store.url("dnarna/a?query=MAIN&command=put&command=ci&force=yes" + as("bob")), "new");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK") << result.output;
    EXPECT_EQ(holders(), "a= b= c=");
    EXPECT_EQ(revisionCount(ids[0]), "2\n"); // the saved bytes are the check-in
    EXPECT_EQ(runHandler(store.url("dnarna/" + ids[0] + "?command=fetch" + as("bob"))).output,
              "new");
}

TEST_F(Checkout, aCommentIsStoredExactlyAsEscaped)
{
    const std::string typed =
        "first line\nsecond\tline & x=1? y; \"quoted\" 'single' | a/b \\ end\r\n100% #1 + \xc3\xa9";
    const std::string escaped = Dbscout::EscapeComment(typed);
    ASSERT_EQ(operation("bob", ids[0], "command=co&command=dir&comment=" + escaped).exitCode, 0);
    const std::string hex = QByteArray::fromStdString(typed).toHex().toUpper().toStdString();
    const std::string column = serverStore()
                                   ? "upper(encode(convert_to(checkout_comment, 'UTF8'), 'hex'))"
                                   : "hex(checkout_comment)";
    EXPECT_EQ(runSql("lab", "SELECT " + column + " FROM objects WHERE id = " + ids[0]), hex + "\n");
}

TEST_F(Checkout, malformedOperationParametersAreRefused)
{
    const std::string noEscape = "The comment= parameter holds a backslash that starts no escape.";
    for (const auto& [parameters, message] : std::vector<std::pair<std::string, std::string>>{
             {"command=co&command=dir&comment=a\\qb", noEscape},
             {"command=co&command=dir&comment=a\\x00b",
              "The comment= parameter contains a NUL byte."},
             {"command=co&descendant=all&command=dir",
              "The descendant= parameter must be co or ci."},
             {"command=frobnicate&command=dir",
              "The command \"frobnicate\" is not served by this handler."},
         })
        EXPECT_EQ(refusal(operation("ann", ids[0], parameters)), message) << parameters;
    EXPECT_EQ(holders(), "a= b= c=");
}

} // namespace
