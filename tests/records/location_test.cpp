// Feature locations: every form the feature tables write reads and writes back as it was,
// malformed ones are refused with the place where reading stopped, and splicing takes no more
// residues than the sequence holds.

#include "records/location.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Dbscout::Records;

namespace {

Location parsed(const std::string& text)
{
    Location location;
    std::string error;
    EXPECT_TRUE(parseLocation(text, location, error)) << text << ": " << error;
    return location;
}

TEST(Location, everyFormReadsAndWritesBackAsWritten)
{
    // Text, then whether it is partial, whether it reaches into another record.
    using Case = std::tuple<std::string, bool, bool>;
    for (const auto& [text, partial, remote] : {
             Case{"467", false, false},
             Case{"340..565", false, false},
             Case{"<345..500", true, false},
             Case{"1..>888", true, false},
             Case{"102.110", true, false},
             Case{"(23.45)..600", true, false},
             Case{"one-of(1888,1901)..2200", true, false},
             Case{"123^124", false, false},
             Case{"join(12..78,134..202)", false, false},
             Case{"complement(join(2691..4571,4918..5163))", false, false},
             Case{"join(complement(4918..5163),complement(2691..4571))", false, false},
             Case{"J00194.1:100..202", false, true},
             Case{"join(1..100,J00194.1:100..202)", false, true},
             Case{"order(complement(AL121804.2:41..610),52..>100)", true, true},
             Case{"join(bond(12),bond(45))", false, false},
             Case{"bond(30,90)", false, false},
             Case{"join(1..10,gap(100),20..30)", false, false},
             Case{"?..282", true, false},
             Case{"?31..40", true, false},
         }) {
        const Location location = parsed(text);
        EXPECT_EQ(locationText(location), text);
        EXPECT_EQ(isPartial(location), partial) << text;
        EXPECT_EQ(isRemote(location), remote) << text;
    }
    // Blanks where a table's lines were joined are no part of it; IMGT's "<1..546>" means
    // ">546".
    EXPECT_EQ(locationText(parsed("join(1..5, 7..9)")), "join(1..5,7..9)");
    EXPECT_EQ(locationText(parsed("<1..546>")), "<1..>546");
}

TEST(Location, malformedOnesNameWhereReadingStopped)
{
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += "complement(";
    deep += "1" + std::string(100, ')');
    for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
             {"", "the location \"\" cannot be read to its end"},
             {"join(1..2", "the location \"join(1..2\" cannot be read to its end"},
             {"1..2)", "the location \"1..2)\" cannot be read from \")\""},
             {"-2..492", "the location \"-2..492\" cannot be read from \"-2..492\""},
             {"1..x", "the location \"1..x\" cannot be read from \"x\""},
             {"AB;1:1..5", "the location \"AB;1:1..5\" cannot be read from \"1..5\""},
             {"1^>2", "the location \"1^>2\" cannot be read to its end"},
             {"1234567890123456..2", "the location \"1234567890123456..2\" cannot be read "
                                     "from \"6..2\""},
         }) {
        Location location;
        std::string message;
        EXPECT_FALSE(parseLocation(text, location, message)) << text;
        EXPECT_EQ(message, error) << text;
    }
    Location location;
    std::string message;
    EXPECT_FALSE(parseLocation(deep, location, message)); // nesting beyond any real table
}

TEST(Location, positionsOutsideTheSequenceAreFound)
{
    using Case = std::tuple<std::string, long long, long long>; // text, length, base outside
    for (const auto& [text, length, outside] : {
             Case{"1..10", 10, 0},
             Case{"1..11", 10, 11},
             Case{"join(1..5,12..13)", 10, 12},
             Case{"<1..>20", 10, 0},     // partial ends may lie beyond
             Case{"X1.1:50..60", 10, 0}, // another record's bases
             Case{"complement(9^11)", 10, 11},
         }) {
        const Location location = parsed(text);
        const Position* found = positionOutside(location, length);
        EXPECT_EQ(found ? found->value : 0, outside) << text;
    }
}

TEST(Location, splicingJoinsComplementsAndStaysWithinTheSequence)
{
    const std::string sequence = "ACGTACGTAC";
    for (const auto& [text, residues] : std::vector<std::pair<std::string, std::string>>{
             {"1..4", "ACGT"},
             {"<1..>3", "ACG"},
             {"complement(2..5)", "TACG"},
             {"join(1..2,9..10)", "ACAC"},
             {"complement(join(1..2,5..6))", "GTGT"},
             {"order(complement(1..2),3..4)", "GTGT"},
         }) {
        std::string spliced;
        std::string error;
        EXPECT_TRUE(spliceLocation(parsed(text), sequence, spliced, error)) << text << error;
        EXPECT_EQ(spliced, residues) << text;
    }
    // A location that repeats the sequence takes no more than it holds, however often it does.
    std::string repeated = "join(1..10";
    for (int i = 0; i < 1000; ++i)
        repeated += ",1..10";
    for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
             {"1..11", "1..11 lies outside the 10 residues of the sequence"},
             {"4..2", "4..2 lies outside the 10 residues of the sequence"},
             {"AB123.1:1..3", "AB123.1:1..3 lies in another record"},
             {"2^3", "2^3 names no residues"},
             {"?..5", "?..5 has an unknown end"},
             {repeated + ")", "the location names more residues than the sequence's 10"},
             {"join(complement(1..10),complement(1..10))",
              "the location names more residues than the sequence's 10"},
         }) {
        std::string spliced;
        std::string message;
        EXPECT_FALSE(spliceLocation(parsed(text), sequence, spliced, message)) << text;
        EXPECT_EQ(message, error) << text.substr(0, 40);
    }
}

} // namespace
