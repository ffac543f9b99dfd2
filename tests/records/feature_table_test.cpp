// The feature table: quoted values over several lines with their doubled quotes, locations over
// several lines, the old UniProt layout only where a feature starts, and writing back.

#include "records/feature_table.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Dbscout::Records;

namespace {

// Reads lines (without their prefix, one per line of table) into features; the outcome's text.
std::string readTable(const std::string& table, std::vector<Feature>& features,
                      bool oldUniProt = false, long long length = 100)
{
    FeatureTableReader reader(oldUniProt);
    std::istringstream lines(table);
    size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        if (Outcome outcome = reader.line(line, ++number); !outcome.ok())
            return outcome.text();
    }
    const Outcome finished = reader.finish(length, features);
    return finished.ok() ? std::string() : finished.text();
}

const std::string kIndent(16, ' ');

TEST(FeatureTable, quotedValuesRunOverLinesAndKeepTheirDoubledQuotes)
{
    const std::string table = "misc_feature    join(1..5,\n" + kIndent + "10..30)\n" + kIndent +
                              "/note=\"the so-called \"\"hinge\"\"\n" + kIndent + "region\"\n" +
                              kIndent + "/gene=\"a \"\"b\"\"\"\n" + kIndent +
                              "/translation=\"MKV\n" + kIndent + "LLA\"\n" + kIndent + "/pseudo\n" +
                              kIndent + "/note=\"\"\n" + kIndent + "/codon_start=1\n";
    std::vector<Feature> features;
    ASSERT_EQ(readTable(table, features), "");
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(locationText(features[0].location), "join(1..5,10..30)");
    const std::vector<Qualifier> expected = {
        {"note", "the so-called \"hinge\" region", true, true},
        {"gene", "a \"b\"", true, true},
        {"translation", "MKVLLA", true, true}, // residues join without a blank
        {"pseudo", "", false, false},
        {"note", "", true, true},
        {"codon_start", "1", true, false},
    };
    EXPECT_EQ(features[0].qualifiers, expected);
}

TEST(FeatureTable, oldUniProtLinesAreKnownOnlyWhereAFeatureStarts)
{
    const std::string old = "CHAIN        25    282       12S seed storage protein\n" +
                            std::string(29, ' ') + "alpha chain.\n" + std::string(29, ' ') +
                            "/FTId=PRO_0000032211.\n"
                            "SIGNAL       <1      ?\n";
    std::vector<Feature> features;
    ASSERT_EQ(readTable(old, features, true, 500), "");
    ASSERT_EQ(features.size(), 2u);
    EXPECT_EQ(locationText(features[0].location), "25..282");
    const std::vector<Qualifier> chain = {
        {"note", "12S seed storage protein alpha chain.", true, true},
        {"id", "PRO_0000032211", true, true}};
    EXPECT_EQ(features[0].qualifiers, chain);
    EXPECT_EQ(locationText(features[1].location), "<1..?");

    // An indented line shaped like "WORD N M" continues the feature it stands in.
    const std::string current = "CDS             1..10\n" + kIndent + "/note=\"has an\n" + kIndent +
                                "intron 4 5 in the middle\"\n" + kIndent + "/gene=\"xyz\"\n";
    ASSERT_EQ(readTable(current, features, true), "");
    ASSERT_EQ(features.size(), 1u);
    ASSERT_EQ(features[0].qualifiers.size(), 2u);
    EXPECT_EQ(features[0].qualifiers[0].value, "has an intron 4 5 in the middle");
    EXPECT_EQ(features[0].qualifiers[1].value, "xyz");
}

TEST(FeatureTable, malformedTablesNameTheLineWhereReadingStopped)
{
    for (const auto& [table, error] : std::vector<std::pair<std::string, std::string>>{
             {"CDS             1..5\n" + kIndent + "/note=\"open\n",
              "line 2: the quoted value of /note is never closed"},
             {"CDS             1..5\n" + kIndent + "/note=\"a\"b\n",
              "line 2: \"b\" follows the closing quote of /note"},
             {"CDS             1..5\n" + kIndent + "/note=\"One missing \"\"quote\" here\"\n",
              "line 2: \" here\"\" follows the closing quote of /note"},
             {kIndent + "/note=\"x\"\n", "line 1: \"/note=\"x\"\" stands before the first "
                                         "feature's key"},
             {"CDS             1..5\n" + kIndent + "/note=\"open\ngene            1..2\n",
              "line 3: a new feature starts inside the quoted value of /note (line 2), which is "
              "never closed"},
             {"CDS             join(1..5\ngene            1..2\n",
              "line 1: CDS: the location \"join(1..5\" cannot be read to its end"},
             {"CDS             1..5\n" + kIndent + "/note=\"a\"\n" + kIndent + "stray\n",
              "line 3: \"stray\" continues no qualifier of CDS"},
             {"CDS             1..5\n" + kIndent + "/=x\n", "line 2: \"/=x\" names no qualifier"},
             {"gene            1..5\nCDS             complement(90..101)\n",
              "line 2: the location complement(90..101) of CDS names 101, outside the 100 "
              "residues of the sequence"},
         }) {
        std::vector<Feature> features;
        EXPECT_EQ(readTable(table, features), error) << table;
    }
}

TEST(FeatureTable, writtenTablesReadBackWithinTheirWidth)
{
    Feature feature;
    feature.key = "CDS";
    std::string error;
    std::string location = "join(1..2";
    for (int from = 10; from < 90; from += 4)
        location += "," + std::to_string(from) + ".." + std::to_string(from + 1);
    ASSERT_TRUE(parseLocation(location + ")", feature.location, error)) << error;
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word" + std::to_string(i) + (i % 7 == 0 ? " \"quoted\" " : " ");
    feature.qualifiers = {{"note", " " + words + "end", true, true},
                          {"translation", std::string(200, 'M'), true, true},
                          {"transl_except", "(pos:complement(4..6),aa:Sec)", true, false}};
    std::string text;
    writeFeatureTable(text, "     ", {feature});
    std::istringstream lines(text);
    std::string table;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 79u) << line;
        table += line.substr(5) + "\n";
    }
    std::vector<Feature> features;
    ASSERT_EQ(readTable(table, features), "") << text;
    ASSERT_EQ(features.size(), 1u);
    EXPECT_EQ(features[0], feature) << text;
}

} // namespace
