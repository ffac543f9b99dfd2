// Descendants on save (pdmode, pderror) and the administration commands that make, link, own
// and log objects.

#include "molb_harness.h"

#include <tuple>

using namespace MolbTest;

namespace {

const std::string kTwoCds = "     CDS             1..9\n"
                            "     CDS             complement(10..18)\n";

std::string record(const std::string& bases, const std::string& features = kTwoCds)
{
    return "LOCUS       rec  " + std::to_string(bases.size()) +
           " bp DNA linear\n"
           "SOURCE      Escherichia coli\n"
           "  ORGANISM  Escherichia coli\n"
           "FEATURES             Location/Qualifiers\n" +
           features + "ORIGIN\n        1 " + bases + "\n//\n";
}

class Descendants : public UsersFixture
{
protected:
    void SetUp() override
    {
        UsersFixture::SetUp();
        parent = saveObject("lab", "dnarna", "rec", record("atgaaatgacatcatcat"), as("ann"));
        const ProcessResult made = store.admin("translate", {parent});
        ASSERT_EQ(made.exitCode, 0) << made.errors;
        // "ID NAME" per line.
        for (size_t at = 0; at < made.output.size(); at = made.output.find('\n', at) + 1)
            proteins.push_back(made.output.substr(at, made.output.find(' ', at) - at));
        ASSERT_EQ(proteins.size(), 2u) << made.output;
        note = saveObject("lab", "dnarna", "note", "a plain note", as("ann"));
        ASSERT_EQ(store.admin("link", {parent, note}).exitCode, 0);
    }

    ProcessResult saveParent(const std::string& bases, const std::string& options,
                             const std::string& features = kTwoCds)
    {
        return runHandler(
            store.url("dnarna/rec?query=MAIN&command=put&force=yes" + options + as("ann")),
            record(bases, features));
    }
    std::string protein(size_t i)
    {
        return runHandler(store.url("protein/" + proteins[i] + "?command=fetch" + as("ann")))
            .output;
    }
    std::string links()
    {
        return onOneLine(
            runSql("lab", "SELECT child_id || '=' || derivation FROM links ORDER BY child_id"));
    }

    std::string parent;
    std::vector<std::string> proteins;
    std::string note;
};

// The proteins' bytes and links are read by the saves of their parent below.
TEST_F(Descendants, translateMakesProteinsListedAndOwnedLikeTheirParent)
{
    const Dbscout::ResultPage page = mainPage("ann", "protein");
    ASSERT_EQ(page.rows.size(), 2u);
    EXPECT_EQ(page.rows[0].name, "rec_cds1");
    EXPECT_EQ(page.rows[0].cells[0], ""); // no accession
    EXPECT_EQ(page.rows[0].cells[1], "2");
    EXPECT_EQ(page.rows[0].cells[2], "Escherichia coli");
    EXPECT_EQ(runSql("lab", "SELECT DISTINCT owner FROM objects WHERE kind = 2"), "ann\n");
}

TEST_F(Descendants, reconstructRecalculatesWhatItCanAndSaysWhatItLeft)
{
    const ProcessResult result = saveParent("atgtggtgaatgatgatg", "&pdmode=reconstruct");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK");
    EXPECT_NE(result.output.find("<p>The descendant &quot;note&quot; could not be recalculated "
                                 "(it was not derived by a rule the store can repeat) and was "
                                 "left unprocessed.</p>"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(protein(0), ">rec_cds1 translation of CDS 1\nMW\n");
    EXPECT_EQ(protein(1), ">rec_cds2 translation of CDS 2\nHHH\n");
    EXPECT_EQ(links(), proteins[0] + "=cds:1 " + proteins[1] + "=cds:2 " + note + "=\n");
}

// A CDS of one base read from its third: no protein, and a remark instead of a failed save.
TEST_F(Descendants, aCdsThatCodesForNothingLeavesARemarkAndTheSaveStands)
{
    const ProcessResult result =
        saveParent("atgtggtgaatgatgatg", "&pdmode=reconstruct",
                   "     CDS             1..1\n                     /codon_start=3\n"
                   "     CDS             complement(10..18)\n");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK") << result.output;
    EXPECT_NE(result.output.find("could not be recalculated (CDS 1 codes for no amino acid) and "
                                 "was left unprocessed."),
              std::string::npos)
        << result.output;
    EXPECT_EQ(protein(0), ">rec_cds1 translation of CDS 1\nMK\n"); // as translate made it
    EXPECT_EQ(protein(1), ">rec_cds2 translation of CDS 2\nHHH\n");
}

TEST_F(Descendants, translateMakesWhatItCanAndNamesWhatItCannot)
{
    // The second CDS repeats the whole sequence; it is refused, not grown without end.
    const std::string other = saveObject(
        "lab", "dnarna", "other",
        record("atgtggtga", "     CDS             1..9\n     CDS             join(1..9,1..9)\n"),
        as("ann"));
    const ProcessResult made = store.admin("translate", {other});
    EXPECT_EQ(made.exitCode, 0) << made.errors;
    EXPECT_NE(made.output.find(" other_cds1\n"), std::string::npos) << made.output;
    EXPECT_EQ(made.errors, "molb-admin: other: not translated: CDS 2: the location names more "
                           "residues than the sequence's 9\n");
}

TEST_F(Descendants, pderrorDisconnectsWhatCannotBeRecalculated)
{
    // bob holds the second protein: it may not be overwritten under him.
    chmod(proteins[1], "ww-");
    ASSERT_EQ(operation("bob", proteins[1], "command=co&command=dir", "protein").exitCode, 0);
    const ProcessResult result =
        saveParent("atgtggtgaatgatgatg", "&pdmode=reconstruct&pderror=disconnect");
    EXPECT_EQ(parseStatusPage(result.output).status, "OK");
    EXPECT_NE(result.output.find("(it is checked out by bob) and was disconnected."),
              std::string::npos)
        << result.output;
    EXPECT_EQ(links(), proteins[0] + "=cds:1\n");
    EXPECT_EQ(protein(1), ">rec_cds2 translation of CDS 2\nMMM\n"); // rev. comp. of CATCATCAT
}

TEST_F(Descendants, disconnectCutsEveryLinkAndLeavingTouchesNothing)
{
    ASSERT_EQ(parseStatusPage(saveParent("atgtggtgaatgatgatg", "").output).status, "OK");
    EXPECT_EQ(protein(0), ">rec_cds1 translation of CDS 1\nMK\n"); // ATG AAA TGA
    EXPECT_EQ(links(), proteins[0] + "=cds:1 " + proteins[1] + "=cds:2 " + note + "=\n");
    ASSERT_EQ(parseStatusPage(saveParent("atgtggtga", "&pdmode=disconnect").output).status, "OK");
    EXPECT_EQ(links(), "\n");
    EXPECT_EQ(protein(0), ">rec_cds1 translation of CDS 1\nMK\n");
}

TEST_F(Descendants, adminCommandsRefuseWhatTheyCannotDo)
{
    const std::string circle =
        " descends from object " + parent + "; the link would close a circle.";
    using Case = std::tuple<std::string, std::vector<std::string>, std::string>;
    for (const auto& [command, arguments, message] : {
             Case{"link", {proteins[0], parent}, "Object " + proteins[0] + circle},
             Case{"link",
                  {parent, note},
                  "Object " + note + " is a descendant of object " + parent + " already."},
             Case{"link", {parent, "999"}, "There is no object 999."},
             Case{"translate", {note}, "the parent is not a GenBank or EMBL nucleotide record"},
             Case{"translate",
                  {parent},
                  "An object named \"rec_cds1\" of protein objects exists already."},
             Case{"log", {"0"}, "\"0\" is not an object id."},
             Case{"chmod",
                  {parent, "rwx"},
                  "The mode \"rwx\" is not three of \"-\", \"r\", \"w\" and \"*\" (owner, "
                  "group, other)."},
             Case{"chown", {parent, "nobody"}, "There is no user \"nobody\"."},
             Case{"chown", {"--subset", "none", "ann"}, "There is no subset \"none\"."},
         }) {
        const ProcessResult result = store.admin(command, arguments);
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.errors, "molb-admin: " + message + "\n") << command;
    }
    EXPECT_EQ(runSql("lab", "SELECT count(*) FROM objects"), "4\n");
}

TEST_F(Descendants, chownAndChmodChangeObjectsAndSubsets)
{
    ASSERT_EQ(store.admin("chown", {parent, "bob:bench"}).exitCode, 0);
    ASSERT_EQ(store.admin("chmod", {parent, "*-w"}).exitCode, 0);
    EXPECT_EQ(runSql("lab", "SELECT owner, grp, mode FROM objects WHERE id = " + parent),
              "bob|bench|w-w\n");
    ASSERT_EQ(store.admin("chown", {note, ":"}).exitCode, 0); // no group at all
    EXPECT_EQ(runSql("lab", "SELECT owner, grp FROM objects WHERE id = " + note), "ann|\n");

    ASSERT_EQ(operation("ann", note, "command=cs&command=dir&query=work").exitCode, 0);
    ASSERT_EQ(store.admin("chown", {"--subset", "work", "eve"}).exitCode, 0);
    ASSERT_EQ(store.admin("chmod", {"--subset", "work", "--kind", "dnarna", "w--"}).exitCode, 0);
    EXPECT_EQ(runSql("lab", "SELECT owner, mode FROM subsets"), "eve|w--\n");
    // Now only eve sees the subset.
    const Dbscout::ResultPage page = parseResultPage(
        runHandler(store.url("dnarna/?start=0&page=10&query=work" + as("ann"))).output);
    EXPECT_EQ(page.caption.name, ""); // a search, not the subset
}

} // namespace
