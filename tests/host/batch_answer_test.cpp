// A multi-selection's URL split into its ids, and the records of a batch answer matched to the
// ids they answer, as ncbi-handler writes them: in the order asked, those it has no record of
// left out.

#include "batch_answer.h"

#include <QList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string genbank(const std::string& accession, int version = 1)
{
    return "LOCUS       " + accession +
           "                 20 bp    DNA     linear   SYN 01-JAN-2020\n"
           "DEFINITION  A record of the test.\n"
           "ACCESSION   " +
           accession + "\nVERSION     " + accession + "." + std::to_string(version) +
           "\nORIGIN      \n        1 acgtacgtac gtacgtacgt\n//\n";
}

std::string medline(const std::string& pmid)
{
    return "PMID- " + pmid + "\nTI  - A paper of the test.\nAU  - Doe J\n";
}

// Which record (by its accession or PMID) each id got, "" for none, "?" for untold.
std::vector<std::string> matchedNames(const std::vector<std::string>& ids,
                                      const std::string& answer)
{
    const MatchedRecords matched = matchRecords(ids, QByteArray::fromStdString(answer));
    std::vector<std::string> names;
    for (const QByteArray& record : matched.records) {
        const qsizetype version = record.indexOf("VERSION     ");
        names.push_back(record.isEmpty() ? ""
                        : version >= 0   ? record.mid(version + 12).split('\n')[0].toStdString()
                                         : record.mid(6).split('\n')[0].toStdString());
    }
    for (const size_t untold : matched.untold)
        names[untold] = "?";
    return names;
}

} // namespace

TEST(BatchAnswer, recordsAreMatchedToTheIdsTheyAnswer)
{
    const std::string a = genbank("AB000001"), b = genbank("AB000002", 3), c = genbank("AB000003");
    const struct
    {
        const char* what;
        std::vector<std::string> ids;
        std::string answer;
        std::vector<std::string> expected;
    } cases[] = {
        {"all, by accession.version, accession and letter case",
         {"AB000001%2e1", "ab000002", "AB000003.1"},
         a + b + c,
         {"AB000001.1", "AB000002.3", "AB000003.1"}},
        {"one left out in the middle",
         {"AB000001.1", "XX000009.1", "AB000003.1"},
         a + c,
         {"AB000001.1", "", "AB000003.1"}},
        {"the last left out", {"AB000001.1", "AB000003.1"}, a, {"AB000001.1", ""}},
        {"GIs stand for the records in their places",
         {"11", "AB000002.3", "33"},
         a + b + c,
         {"AB000001.1", "AB000002.3", "AB000003.1"}},
        {"a GI before a record that answers a later id by name is left out",
         {"11", "AB000002.3"},
         b,
         {"", "AB000002.3"}},
        {"GIs in a row with one left out cannot be told apart",
         {"11", "22", "AB000003.1"},
         a + c,
         {"?", "?", "AB000003.1"}},
        {"PMIDs are matched by the record, never by place",
         {"100", "200", "300"},
         medline("100") + "\n" + medline("300"),
         {"100", "", "300"}},
        {"nothing readable answers nothing", {"AB000001.1"}, "<html>busy</html>", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchedNames(c.ids, c.answer), c.expected) << c.what;
}

// A record keeps its own text, as the handler answers it asked alone: MEDLINE records lose the
// blank line that separated them; a record the reader refuses is named.
TEST(BatchAnswer, aMatchedRecordIsItsOwnTextAndAnUnreadableOneIsNamed)
{
    const MatchedRecords citations = matchRecords(
        {"100", "300"}, QByteArray::fromStdString(medline("100") + "\n" + medline("300")));
    EXPECT_EQ(citations.records[0].toStdString(), medline("100"));
    EXPECT_EQ(citations.records[1].toStdString(), medline("300"));
    EXPECT_TRUE(citations.unreadable.isEmpty());

    const std::string broken = "LOCUS       AB000002\nORIGIN      \n        1 acgt\n";
    const MatchedRecords sequences = matchRecords(
        {"AB000001.1", "AB000002.1"}, QByteArray::fromStdString(genbank("AB000001") + broken));
    EXPECT_EQ(sequences.records[0].toStdString(), genbank("AB000001"));
    EXPECT_TRUE(sequences.records[1].isEmpty());
    EXPECT_FALSE(sequences.unreadable.isEmpty());
}

TEST(BatchAnswer, aPickedUrlSplitsAroundItsIds)
{
    const PickedIds pick =
        splitPickedIds("ncbi://entrez/nucleotide/dnarna/AB1%2e1,X%2c,77?query=a/b,c&command=fetch");
    EXPECT_EQ(pick.before, "ncbi://entrez/nucleotide/dnarna/");
    EXPECT_EQ(pick.ids, (std::vector<std::string>{"AB1%2e1", "X%2c", "77"}));
    EXPECT_EQ(pick.after, "?query=a/b,c&command=fetch");
    EXPECT_EQ(pick.urlFor({2, 0}),
              "ncbi://entrez/nucleotide/dnarna/77,AB1%2e1?query=a/b,c&command=fetch");
    EXPECT_EQ(shownId(pick.ids[1]), "X,");
}
