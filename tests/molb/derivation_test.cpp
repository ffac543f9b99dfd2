// Descendants computed from their parent: feature locations and the standard genetic code.

#include "derive/derivation.h"
#include "derive/feature_table.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Dbscout::Molb;

namespace {

// Positions 1-30: ATGAAATTTT AACATGAAAC CCGGGTTTCA
constexpr const char* kGenBank = "LOCUS       ABC  30 bp DNA linear\n"
                                 "SOURCE      Escherichia coli\n"
                                 "  ORGANISM  Escherichia coli\n"
                                 "FEATURES             Location/Qualifiers\n"
                                 "     source          1..30\n"
                                 "                     /organism=\"Escherichia coli\"\n"
                                 "     CDS             join(1..6,\n"
                                 "                     7..12)\n"
                                 "                     /product=\"tiny\n"
                                 "                     protein\"\n"
                                 "     CDS             complement(13..27)\n"
                                 "     CDS             <1..>30\n"
                                 "                     /codon_start=2\n"
                                 "     CDS             1..9\n"
                                 "                     /transl_table=4\n"
                                 "ORIGIN\n"
                                 "        1 atgaaatttt aacatgaaac ccgggtttca\n"
                                 "//\n";

constexpr const char* kEmbl =
    "ID   X; SV 1; linear; DNA; STD; PRO; 9 BP.\n"
    "FT   CDS             1..9\n"
    "SQ   Sequence 9 BP;\n"
    "     atgtggtga                                                      9\n"
    "//\n";

TEST(Derivation, locationsResolveAgainstTheSequence)
{
    const std::string sequence = "ACGTACGTAC";
    for (const auto& [location, bases] : std::vector<std::pair<const char*, const char*>>{
             {"1..4", "ACGT"},
             {"<1..>3", "ACG"},
             {"complement(1..4)", "ACGT"},
             {"join(1..2,9..10)", "ACAC"},
             {"complement(join(1..2,5..6))", "GTGT"},
             {"join(complement(1..2),3..4)", "GTGT"}}) {
        std::string spliced;
        const Status status = spliceLocation(location, sequence, spliced);
        EXPECT_TRUE(status.ok()) << location << ": " << status.message();
        EXPECT_EQ(spliced, bases) << location;
    }
    std::string spliced;
    for (const char* location : {"1..11", "4..2", "AB123.1:1..3", "2^3", "join(1..2", "1..2)", ""})
        EXPECT_FALSE(spliceLocation(location, sequence, spliced).ok()) << location;
}

TEST(Derivation, everyCdsOfARecordIsTranslatedByTheStandardCode)
{
    std::vector<DerivedObject> derived;
    const Status status = translationsOf("rec", kGenBank, derived);
    ASSERT_FALSE(status.ok()); // CDS 4 asks for another genetic code
    EXPECT_EQ(status.message(), "CDS 4 uses genetic code 4, not the standard one");

    using Case = std::tuple<const char*, const char*, const char*>; // derivation, bytes, error
    for (const auto& [derivation, bytes, error] : {
             Case{"cds:1", ">p tiny protein\nMKF\n", ""},
             Case{"cds:2", ">p translation of CDS 2\nNPGFM\n", ""},
             // From base 2: TGA AAT TTT AAC ATG AAA CCC GGG TTT CA: stop inside, then on.
             Case{"cds:3", ">p translation of CDS 3\n*NFNMKPGF\n", ""},
             Case{"cds:5", nullptr, "the parent has no CDS 5 (it has 4)"},
             Case{"cds:x", nullptr, "its derivation \"cds:x\" is unknown"},
             Case{"", nullptr, "it was not derived by a rule the store can repeat"},
         }) {
        NewObject child;
        EXPECT_EQ(deriveObject(derivation, kGenBank, "p", child).message(), error) << derivation;
        if (!bytes)
            continue;
        EXPECT_EQ(child.bytes, bytes) << derivation;
        EXPECT_EQ(child.kind, Kind::Protein);
        EXPECT_EQ(child.meta[Field::Organism], "Escherichia coli");
        EXPECT_EQ(child.meta[Field::Length],
                  std::to_string(child.bytes.size() - child.bytes.find('\n') - 2));
    }
}

TEST(Derivation, emblRecordsAndBadParentsAreHandled)
{
    std::vector<DerivedObject> derived;
    ASSERT_TRUE(translationsOf("x", kEmbl, derived).ok());
    ASSERT_EQ(derived.size(), 1u);
    EXPECT_EQ(derived[0].derivation, "cds:1");
    EXPECT_EQ(derived[0].object.meta[Field::Name], "x_cds1");
    EXPECT_EQ(derived[0].object.bytes, ">x_cds1 translation of CDS 1\nMW\n"); // ATG TGG TGA

    for (const auto& [text, message] : std::vector<std::pair<const char*, const char*>>{
             {">fasta\nACGT\n", "the parent is not a GenBank or EMBL record"},
             {"LOCUS x 3 bp DNA\nORIGIN\n//\n", "the parent record holds no sequence"},
             {"LOCUS x 3 bp DNA\nORIGIN\n 1 atg\n//\n", "\"x\" has no CDS feature to translate"},
         })
        EXPECT_EQ(translationsOf("x", text, derived).message(), message) << text;
}

} // namespace
