// Descendants computed from their parent by the standard genetic code, and what cannot be.

#include "derive/derivation.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Dbscout::Molb;

namespace {

// Positions 1-30: ATGAAATTTT AACATGAAAC CCGGGTTTCA
std::string genBank(const std::string& features)
{
    return "LOCUS       ABC  30 bp DNA linear\n"
           "SOURCE      Escherichia coli\n"
           "  ORGANISM  Escherichia coli\n"
           "FEATURES             Location/Qualifiers\n" +
           features +
           "ORIGIN\n"
           "        1 atgaaatttt aacatgaaac ccgggtttca\n"
           "//\n";
}

const std::string kFourCds = genBank("     CDS             join(1..6,\n"
                                     "                     7..12)\n"
                                     "                     /product=\"tiny\n"
                                     "                     protein\"\n"
                                     "     CDS             complement(13..27)\n"
                                     "     CDS             <1..>30\n"
                                     "                     /codon_start=2\n"
                                     "     CDS             1..9\n"
                                     "                     /transl_table=4\n");

TEST(Derivation, eachCdsIsTranslatedOrRefusedWithWhy)
{
    using Case = std::tuple<std::string, std::string, const char*, const char*>;
    for (const auto& [parent, derivation, bytes, error] : {
             Case{kFourCds, "cds:1", ">p tiny protein\nMKF\n", ""},
             Case{kFourCds, "cds:2", ">p translation of CDS 2\nNPGFM\n", ""},
             // From base 2: TGA AAT TTT AAC ATG AAA CCC GGG TTT CA: stop inside, then on.
             Case{kFourCds, "cds:3", ">p translation of CDS 3\n*NFNMKPGF\n", ""},
             Case{kFourCds, "cds:4", nullptr, "CDS 4 uses genetic code 4, not the standard one"},
             Case{kFourCds, "cds:5", nullptr, "the parent has no CDS 5 (it has 4)"},
             Case{kFourCds, "cds:x", nullptr, "its derivation \"cds:x\" is unknown"},
             Case{kFourCds, "", nullptr, "it was not derived by a rule the store can repeat"},
             // One base, read from its third: nothing to translate, and no fault.
             Case{genBank("     CDS             1..1\n                     /codon_start=3\n"),
                  "cds:1", nullptr, "CDS 1 codes for no amino acid"},
             // A join that repeats the sequence takes no more than the sequence holds.
             Case{genBank("     CDS             join(1..30,1..30,1..30)\n"), "cds:1", nullptr,
                  "CDS 1: the location names more residues than the sequence's 30"},
             Case{genBank("     CDS             X1.1:1..30\n"), "cds:1", nullptr,
                  "CDS 1: X1.1:1..30 lies in another record"},
             Case{">fasta\nACGT\n", "cds:1", nullptr,
                  "the parent is not a GenBank or EMBL nucleotide record"},
             Case{"LOCUS       x 3 bp DNA\nORIGIN\n//\n", "cds:1", nullptr,
                  "the parent record holds no sequence"},
             Case{genBank("     CDS             1..31\n"), "cds:1", nullptr,
                  "the parent cannot be read: line 5: the location 1..31 of CDS names 31, "
                  "outside the 30 residues of the sequence"},
         }) {
        NewObject child;
        EXPECT_EQ(deriveObject(derivation, parent, "p", child).message(), error) << derivation;
        if (!bytes)
            continue;
        EXPECT_EQ(child.bytes, bytes) << derivation;
        EXPECT_EQ(child.kind, Kind::Protein);
        EXPECT_EQ(child.meta[Field::Organism], "Escherichia coli");
        EXPECT_EQ(child.meta[Field::Length],
                  std::to_string(child.bytes.size() - child.bytes.find('\n') - 2));
    }
}

TEST(Derivation, translationsAreMadeOfEveryCdsThatCanBeWithRemarksForTheRest)
{
    std::vector<DerivedObject> derived;
    std::vector<std::string> remarks;
    ASSERT_TRUE(translationsOf("rec", kFourCds, derived, remarks).ok());
    ASSERT_EQ(derived.size(), 3u);
    EXPECT_EQ(derived[2].derivation, "cds:3");
    EXPECT_EQ(derived[2].object.meta[Field::Name], "rec_cds3");
    EXPECT_EQ(remarks, std::vector<std::string>{"CDS 4 uses genetic code 4, not the standard one"});

    const std::string nothing =
        genBank("     CDS             1..1\n                     /codon_start=3\n");
    const Status status = translationsOf("one", nothing, derived, remarks);
    EXPECT_EQ(status.message(), "\"one\" has no CDS feature that can be translated");
    EXPECT_TRUE(derived.empty());
    EXPECT_EQ(remarks, std::vector<std::string>{"CDS 1 codes for no amino acid"});
    EXPECT_EQ(translationsOf("none", genBank(""), derived, remarks).message(),
              "\"none\" has no CDS feature to translate");
}

} // namespace
