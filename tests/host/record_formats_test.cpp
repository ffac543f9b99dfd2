// The demo's path from an object's bytes to what it shows: the kind, name and data type of what
// the record readers read, the faults the demo's own readers had, and records that cannot be
// read shown as their text with the reason.

#include "record.h"
#include "record_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordFormats, kindsNamesAndDataTypes)
{
    struct Case
    {
        QByteArray bytes;
        ObjectRecord::Kind kind;
        int dataType;
        const char* name;
        const char* problem;
    };
    const Case cases[] = {
        {"LOCUS       X 4 bp DNA linear\nORIGIN\n        1 acgt\n//\n",
         ObjectRecord::Kind::Sequence, 1, "X", ""},
        {"LOCUS       P 3 aa linear\nORIGIN\n        1 mkv\n//\n", ObjectRecord::Kind::Sequence, 2,
         "P", ""},
        {"ID   CYC_HUMAN  Reviewed;  3 AA.\nSQ   SEQUENCE   3 AA;\n     MGD\n//\n",
         ObjectRecord::Kind::Sequence, 2, "CYC_HUMAN", ""},
        {">n\nACGT\n", ObjectRecord::Kind::Sequence, 1, "n", ""},
        {"PMID- 42\nTI  - T\n", ObjectRecord::Kind::Citation, 14, "PMID:42", ""},
        {"<?xml version=\"1.0\"?><BlastOutput><BlastOutput_program>blastn</BlastOutput_program>"
         "<BlastOutput_query-def>q1 more</BlastOutput_query-def></BlastOutput>",
         ObjectRecord::Kind::Blast, 15, "blastn q1", ""},
        {QByteArray("\0\xff\xfe junk", 9), ObjectRecord::Kind::Text, 0, "", ""},
        // Known formats that their readers refuse show as text, with why; nothing is guessed.
        {"LOCUS \n//\n", ObjectRecord::Kind::Text, 0, "",
         "GenBank: line 1: the LOCUS line names no locus"},
        {"LOCUS       CUT 100 bp DNA\nFEATURES             Location/Qualifiers\n"
         "     gene            1..\n",
         ObjectRecord::Kind::Text, 0, "",
         "GenBank: line 3: gene: the location \"1..\" cannot be read to its end"},
        {"<BlastOutput><BlastOutput_program>blastx", ObjectRecord::Kind::Text, 0, "",
         "BLAST XML: line 1: malformed XML: the document ends inside <BlastOutput_program>"},
    };
    for (const Case& c : cases) {
        const ObjectRecord record = readObjectRecord(c.bytes);
        EXPECT_EQ(record.kind, c.kind) << c.bytes.constData();
        EXPECT_EQ(dataTypeOf(record), c.dataType) << c.bytes.constData();
        EXPECT_EQ(recordName(record), c.name) << c.bytes.constData();
        EXPECT_EQ(record.problem.toStdString(), c.problem) << c.bytes.constData();
        if (c.kind == ObjectRecord::Kind::Text) {
            EXPECT_EQ(record.text, QString::fromUtf8(c.bytes)) << c.bytes.constData();
        }
    }
}

// The faults the demo's own readers had, read the way the demo reads fetched bytes.
TEST(RecordFormats, faultsOfTheEarlierReadersAreGone)
{
    // A record with one feature, then the details the view shows of it.
    const std::pair<QByteArray, QString> features[] = {
        // A doubled quote at a line's end is a quote, not the value's end.
        {"LOCUS       Q1 10 bp DNA linear\nFEATURES             Location/Qualifiers\n"
         "     misc_feature    1..10\n                     /note=\"the so-called \"\"hinge\"\"\n"
         "                     region\"\n                     /gene=\"abc\"\n"
         "                     /pseudo\nORIGIN\n        1 acgtacgtac\n//\n",
         "note=the so-called \"hinge\" region; gene=abc; pseudo"},
        // A continuation shaped like an old UniProt feature line stays in its feature.
        {"ID   P1_HUMAN  Reviewed;  10 AA.\nFT   CHAIN           1..10\n"
         "FT                   /note=\"has an\nFT                   intron 4 5 in the middle\"\n"
         "FT                   /id=\"PRO_1\"\nSQ   SEQUENCE   10 AA;\n     MKVLAAGIVG\n//\n",
         "note=has an intron 4 5 in the middle; id=PRO_1"},
    };
    for (const auto& [bytes, details] : features) {
        const ObjectRecord object = readObjectRecord(bytes);
        ASSERT_EQ(object.record.features.size(), 1u) << qPrintable(object.problem);
        EXPECT_EQ(featureDetails(object.record.features[0]), details);
    }

    // EMBL ends no organism with a dot of its own; UniProt does.
    for (const auto& [bytes, organism] : std::vector<std::pair<QByteArray, std::string>>{
             {"ID   X2; SV 1; linear; DNA; STD; PRO; 4 BP.\nOS   Bacillus sp.\n"
              "SQ   Sequence 4 BP;\n     acgt 4\n//\n",
              "Bacillus sp."},
             {"ID   P2_BACSU  Reviewed;  1 AA.\nOS   Bacillus sp.\nSQ   SEQUENCE   1 AA;\n     M\n"
              "//\n",
              "Bacillus sp"},
         })
        EXPECT_EQ(readObjectRecord(bytes).record.organism, organism) << bytes.constData();
}

} // namespace
