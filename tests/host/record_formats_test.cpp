// The demo's record readers against the real public records the demo store is made of, and
// against hand-made edge cases.

#include "record.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString kEmboss = "/usr/share/EMBOSS/test";
const QString kBiopython = "/usr/share/doc/python-biopython-doc/Tests";

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The records of a flat file, each with its "//" line.
QStringList records(const QString& text)
{
    QStringList parts = text.split(QRegularExpression("\n//[^\n]*\n"), Qt::SkipEmptyParts);
    for (QString& part : parts)
        part += "\n//\n";
    return parts;
}

} // namespace

// Every record's residue count equals the length its own first line declares.
TEST(RecordFormats, everyRecordOfTheRealFilesHasItsDeclaredLength)
{
    const struct
    {
        const char* file;
        bool (*reader)(const QString&, SequenceRecord&);
        const char* length;
        const char* start;
    } files[] = {
        {"/swiss/seq.dat", readEmbl, "(\\d+) AA\\.$", "ID   "},
        {"/embl/hum1.dat", readEmbl, "(\\d+) BP\\.$", "ID   "},
        {"/genbank/gbbct1.seq", readGenBank, "^LOCUS\\s+\\S+\\s+(\\d+) bp", "LOCUS"},
        {"/genbank/gbpri1.seq", readGenBank, "^LOCUS\\s+\\S+\\s+(\\d+) bp", "LOCUS"},
    };
    for (const auto& f : files) {
        const QString text = readText(kEmboss + f.file);
        ASSERT_FALSE(text.isEmpty()) << f.file << " is missing (run scripts/bootstrap)";
        const QRegularExpression declared(f.length);
        int count = 0;
        for (const QString& part : records(text)) {
            SequenceRecord record;
            ASSERT_TRUE(f.reader(part, record)) << qPrintable(part.left(80));
            const auto match = declared.match(part.section('\n', 0, 0));
            ASSERT_TRUE(match.hasMatch()) << qPrintable(part.left(80));
            EXPECT_EQ(record.residues.size(), match.captured(1).toInt()) << qPrintable(record.name);
            EXPECT_FALSE(record.name.isEmpty() || record.accession.isEmpty()) << f.file;
            ++count;
        }
        const QRegularExpression start(QString("^") + f.start, QRegularExpression::MultilineOption);
        EXPECT_EQ(count, text.count(start)) << f.file;
        EXPECT_GT(count, 1) << f.file;
    }
}

TEST(RecordFormats, swissProtOldStyleFeaturesContinueOnTheNextLine)
{
    SequenceRecord record;
    ASSERT_TRUE(readEmbl(records(readText(kEmboss + "/swiss/seq.dat")).first(), record));
    // "FT   CHAIN        25    282       12S seed ... alpha chain" continued on the next line.
    ASSERT_GE(record.features.size(), 2);
    const Feature& chain = record.features[1];
    EXPECT_EQ(chain.key, "CHAIN");
    EXPECT_EQ(chain.location, "25..282");
    ASSERT_FALSE(chain.qualifiers.isEmpty());
    EXPECT_EQ(chain.qualifiers[0].second,
              "12S seed storage protein CRU4 alpha chain (By similarity).");
}

TEST(RecordFormats, genBankFeaturesSpanningLines)
{
    const QString text =
        "LOCUS       TEST1                     30 bp    mRNA    circular PLN 01-JAN-2000\n"
        "DEFINITION  A made-up record that goes on\n"
        "            over two lines.\n"
        "ACCESSION   AB000001 AB000002\n"
        "SOURCE      thale cress\n"
        "  ORGANISM  Arabidopsis thaliana\n"
        "            Eukaryota; Viridiplantae.\n"
        "FEATURES             Location/Qualifiers\n"
        "     CDS             join(1..5,\n"
        "                     10..30)\n"
        "                     /note=\"a note that\n"
        "                     continues\"\n"
        "                     /translation=\"MKV\n"
        "                     LLA\"\n"
        "                     /pseudo\n"
        "ORIGIN      \n"
        "        1 acgtacgtac gtacgtacgt\n"
        "       21 acgtacgtac\n"
        "//\n";
    SequenceRecord record;
    ASSERT_TRUE(readGenBank(text, record));
    EXPECT_EQ(record.description, "A made-up record that goes on over two lines");
    EXPECT_EQ(record.accession, "AB000001");
    EXPECT_EQ(record.organism, "Arabidopsis thaliana");
    EXPECT_EQ(record.molecule, "mRNA");
    EXPECT_EQ(record.topology, "circular");
    EXPECT_EQ(record.residues, QString("ACGT").repeated(7) + "AC");
    ASSERT_EQ(record.features.size(), 1);
    const Feature& cds = record.features[0];
    EXPECT_EQ(cds.location, "join(1..5,10..30)");
    ASSERT_EQ(cds.qualifiers.size(), 3);
    EXPECT_EQ(cds.qualifiers[0], qMakePair(QString("note"), QString("a note that continues")));
    EXPECT_EQ(cds.qualifiers[1], qMakePair(QString("translation"), QString("MKVLLA")));
    EXPECT_EQ(cds.qualifiers[2], qMakePair(QString("pseudo"), QString()));
}

TEST(RecordFormats, fastaTakesTheFirstRecordAndTellsProteinFromDna)
{
    struct Case
    {
        const char* text;
        const char* name;
        const char* residues;
        const char* molecule;
    };
    const Case cases[] = {
        {">seq1 a test\nACGT\nacgn\n>seq2\nTTTT\n", "seq1", "ACGTACGN", "DNA"},
        {">p1\nMKVL LA*\n", "p1", "MKVLLA*", "protein"},
        {">only-a-header", "only-a-header", "", "DNA"},
    };
    for (const Case& c : cases) {
        SequenceRecord record;
        ASSERT_TRUE(readFasta(c.text, record)) << c.text;
        EXPECT_EQ(record.name, c.name);
        EXPECT_EQ(record.residues, c.residues);
        EXPECT_EQ(record.molecule, c.molecule) << c.text;
    }
}

TEST(RecordFormats, medlineCitation)
{
    Citation citation;
    ASSERT_TRUE(readMedline(readText(kBiopython + "/Medline/pubmed_result1.txt"), citation));
    EXPECT_EQ(citation.pmid, "12230038");
    EXPECT_EQ(citation.title, "The Bio* toolkits--a brief overview.");
    // Continuation lines join with one blank.
    EXPECT_TRUE(citation.abstract.contains("commercial software. The Open Source BioPerl"));
}

TEST(RecordFormats, blastReportTakesEachHitsFirstHsp)
{
    const QByteArray xml = R"(<?xml version="1.0"?>
<!DOCTYPE BlastOutput PUBLIC "-//NCBI//NCBI BlastOutput/EN" "NCBI_BlastOutput.dtd">
<BlastOutput><BlastOutput_program>blastp</BlastOutput_program>
  <BlastOutput_db>demo_proteins</BlastOutput_db>
  <BlastOutput_query-def>HBA_HUMAN P69905</BlastOutput_query-def>
  <BlastOutput_query-len>142</BlastOutput_query-len>
  <BlastOutput_iterations><Iteration><Iteration_hits>
    <Hit><Hit_id>HBA_PANTR</Hit_id><Hit_def>Hemoglobin &amp; alpha</Hit_def><Hit_hsps>
        <Hsp><Hsp_bit-score>285.4</Hsp_bit-score><Hsp_evalue>1e-99</Hsp_evalue>
          <Hsp_identity>141</Hsp_identity></Hsp>
        <Hsp><Hsp_bit-score>20.1</Hsp_bit-score><Hsp_identity>5</Hsp_identity></Hsp>
    </Hit_hsps></Hit>
    <Hit><Hit_id>HBB_HUMAN</Hit_id><Hit_def>beta</Hit_def></Hit>
  </Iteration_hits></Iteration></BlastOutput_iterations></BlastOutput>
)";
    BlastReport report;
    ASSERT_TRUE(readBlastXml(xml, report));
    EXPECT_EQ(report.program + " " + report.database + " " + report.query,
              "blastp demo_proteins HBA_HUMAN P69905");
    EXPECT_EQ(report.queryLength, 142);
    ASSERT_EQ(report.hits.size(), 2);
    EXPECT_EQ(report.hits[0].definition, "Hemoglobin & alpha");
    EXPECT_DOUBLE_EQ(report.hits[0].bitScore, 285.4);
    EXPECT_EQ(report.hits[0].evalue, "1e-99");
    EXPECT_EQ(report.hits[0].identities, 141);
    EXPECT_EQ(report.hits[1].id, "HBB_HUMAN");
    EXPECT_EQ(report.hits[1].alignLength, 0);
}

TEST(RecordFormats, kindsAndDataTypes)
{
    struct Case
    {
        QByteArray bytes;
        ObjectRecord::Kind kind;
        int dataType;
        const char* name;
    };
    const Case cases[] = {
        {"LOCUS       X 4 bp DNA linear\nORIGIN\n        1 acgt\n//\n",
         ObjectRecord::Kind::Sequence, 1, "X"},
        {"LOCUS       P 3 aa linear\nORIGIN\n        1 mkv\n//\n", ObjectRecord::Kind::Sequence, 2,
         "P"},
        {">n\nACGT\n", ObjectRecord::Kind::Sequence, 1, "n"},
        {"PMID- 42\nTI  - T\n", ObjectRecord::Kind::Citation, 14, "PMID:42"},
        {"<?xml version=\"1.0\"?><BlastOutput><BlastOutput_program>blastn</BlastOutput_program>"
         "<BlastOutput_query-def>q1 more</BlastOutput_query-def></BlastOutput>",
         ObjectRecord::Kind::Blast, 15, "blastn q1"},
        {QByteArray("\0\xff\xfe junk", 9), ObjectRecord::Kind::Text, 0, ""},
        {"LOCUS", ObjectRecord::Kind::Text, 0, ""},
    };
    for (const Case& c : cases) {
        const ObjectRecord record = readObjectRecord(c.bytes);
        EXPECT_EQ(record.kind, c.kind) << c.bytes.constData();
        EXPECT_EQ(dataTypeOf(record), c.dataType) << c.bytes.constData();
        EXPECT_EQ(recordName(record), c.name) << c.bytes.constData();
    }
}

TEST(RecordFormats, truncatedRecordsKeepWhatTheyHave)
{
    SequenceRecord record;
    ASSERT_TRUE(readGenBank("LOCUS       CUT 100 bp DNA\nFEATURES             Location/Qualifiers\n"
                            "     gene            1..\n                     /gene=\"unfinished",
                            record));
    ASSERT_EQ(record.features.size(), 1);
    EXPECT_EQ(record.features[0].qualifiers[0].second, "\"unfinished");
    EXPECT_TRUE(record.residues.isEmpty());
    ASSERT_TRUE(readEmbl("ID   ONLY_AN_ID", record));
    EXPECT_EQ(record.name, "ONLY_AN_ID");
    BlastReport report;
    EXPECT_TRUE(readBlastXml("<BlastOutput><BlastOutput_program>blastx", report));
    EXPECT_FALSE(readBlastXml("<BlastOutput><a></b></BlastOutput>", report));
}
