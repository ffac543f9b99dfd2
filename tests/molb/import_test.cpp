// The record importers on real files from Debian's emboss-test and python-biopython-doc, and
// molb-admin import on good and malformed files.

#include "import/importer.h"
#include "molb_harness.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace Dbscout::Molb;
using namespace MolbTest;

namespace {

const std::string kEmboss = "/usr/share/EMBOSS/test";
const std::string kBiopython = "/usr/share/doc/python-biopython-doc";

std::string nameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// Counts lines that start with prefix: how many records a file holds, counted without the
// importers.
size_t linesStartingWith(const std::string& text, const std::string& prefix)
{
    size_t count = text.rfind(prefix, 0) == 0 ? 1 : 0;
    for (size_t at = text.find("\n" + prefix); at != std::string::npos;
         at = text.find("\n" + prefix, at + 1))
        ++count;
    return count;
}

size_t occurrences(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

struct Source
{
    std::string folder;
    std::function<bool(const std::string& name)> take;
    RecordFormat format;
    std::string recordStart; // the line that opens each record
};

bool endsWithAny(const std::string& name, std::initializer_list<const char*> endings)
{
    for (const char* ending : endings) {
        if (name.ends_with(ending))
            return true;
    }
    return false;
}

bool deliberatelyBroken(const std::string& name)
{
    return name.rfind("bad_", 0) == 0 || name.rfind("invalid_", 0) == 0;
}

std::vector<Source> sources()
{
    return {
        {kEmboss + "/genbank", [](const std::string& n) { return n.ends_with(".seq"); },
         RecordFormat::GenBank, "LOCUS "},
        {kEmboss + "/swiss", [](const std::string& n) { return n == "seq.dat"; },
         RecordFormat::EmblStyle, "ID   "},
        {kEmboss + "/embl", [](const std::string& n) { return n.ends_with(".dat"); },
         RecordFormat::EmblStyle, "ID   "},
        {kBiopython + "/Tests/GenBank",
         [](const std::string& n) {
             return !deliberatelyBroken(n) &&
                    endsWithAny(n, {".gb", ".gb.gz", ".gbk", ".gbk.gz", ".gp.gz", ".bgz.gz",
                                    ".gbwithparts.gz", ".seq.gz"});
         },
         RecordFormat::GenBank, "LOCUS "},
        {kBiopython + "/Tests/GenBank",
         [](const std::string& n) {
             return endsWithAny(n, {".faa", ".faa.gz", ".fna.gz", ".ffn.gz"});
         },
         RecordFormat::Fasta, ">"},
        {kBiopython + "/Tests/EMBL",
         [](const std::string& n) {
             return endsWithAny(n, {".embl", ".embl.gz", ".imgt", ".imgt.gz"});
         },
         RecordFormat::EmblStyle, "ID   "},
        {kBiopython + "/Tests/SwissProt",
         [](const std::string& n) {
             return (n.ends_with(".txt") || n.ends_with(".txt.gz") || n.rfind("sp0", 0) == 0) &&
                    n.rfind("keywlist", 0) != 0;
         },
         RecordFormat::EmblStyle, "ID   "},
        {kBiopython + "/Tests/Medline", [](const std::string&) { return true; },
         RecordFormat::Medline, "PMID- "},
        {kBiopython + "/Tests/Blast",
         [](const std::string& n) {
             return (n.rfind("xml_", 0) == 0 || n.rfind("mock_", 0) == 0) &&
                    endsWithAny(n, {".xml", ".xml.gz"});
         },
         RecordFormat::BlastXml, ""},
        {kBiopython + "/Doc/examples",
         [](const std::string& n) {
             return endsWithAny(n, {".gbk.gz", ".gbk.bgz.gz"});
         },
         RecordFormat::GenBank, "LOCUS "},
        {kBiopython + "/Doc/examples",
         [](const std::string& n) {
             return endsWithAny(n, {".faa", ".fasta", ".fasta.gz"});
         },
         RecordFormat::Fasta, ">"},
        {kBiopython + "/Doc/examples", [](const std::string& n) { return n == "my_blast.xml.gz"; },
         RecordFormat::BlastXml, ""},
    };
}

TEST(Import, everyRecordOfTheDebianSampleFilesIsRead)
{
    size_t files = 0;
    size_t records = 0;
    for (const Source& source : sources()) {
        ASSERT_TRUE(std::filesystem::is_directory(source.folder))
            << source.folder << " is missing: install emboss-test and python-biopython-doc";
        for (const auto& entry : std::filesystem::directory_iterator(source.folder)) {
            const std::string path = entry.path().string();
            if (!entry.is_regular_file() || !source.take(nameOf(path)))
                continue;
            std::string bytes;
            ASSERT_TRUE(readRecordFile(path, bytes).ok()) << path;
            RecordFile file;
            const Status status = readRecords(bytes, nameOf(path), file);
            ASSERT_TRUE(status.ok()) << path << ": " << status.message();
            EXPECT_EQ(file.format, source.format) << path;
            for (const RecordProblem& problem : file.problems)
                ADD_FAILURE() << path << ": record " << problem.number << ": " << problem.message;
            const size_t expected =
                source.recordStart.empty() ? 1 : linesStartingWith(bytes, source.recordStart);
            EXPECT_EQ(file.objects.size(), expected) << path;
            for (const NewObject& object : file.objects) {
                EXPECT_FALSE(object.meta[Field::Name].empty()) << path;
                EXPECT_TRUE(object.metaKnown) << path;
                EXPECT_EQ(object.bytes.rfind(source.recordStart, 0), 0u) << path;
            }
            ++files;
            records += file.objects.size();
        }
    }
    EXPECT_GT(files, 100u);
    EXPECT_GT(records, 700u);
}

const NewObject* first(const RecordFile& file)
{
    return file.objects.empty() ? nullptr : &file.objects.front();
}

RecordFile readFile(const std::string& path)
{
    std::string bytes;
    RecordFile file;
    EXPECT_TRUE(readRecordFile(path, bytes).ok()) << path;
    EXPECT_TRUE(readRecords(bytes, nameOf(path), file).ok()) << path;
    return file;
}

TEST(Import, columnsComeFromTheRecordsFields)
{
    struct Case
    {
        std::string path;
        Kind kind;
        std::vector<std::pair<Field, std::string>> fields;
    };
    const std::vector<Case> cases = {
        {kEmboss + "/genbank/gbbct1.seq",
         Kind::DnaRna,
         {{Field::Name, "ECOLAC"},
          {Field::Accession, "J01636"},
          {Field::Length, "7477"},
          {Field::Topology, "linear"},
          {Field::Organism, "Escherichia coli"},
          {Field::Description, "E.coli lactose operon with lacI, lacZ, lacY and lacA genes"}}},
        {kEmboss + "/swiss/seq.dat",
         Kind::Protein,
         {{Field::Name, "CRU4_ARATH"},
          {Field::Accession, "P15455"},
          {Field::Length, "472"},
          {Field::Description, "12S seed storage protein CRU4"}}},
        {kBiopython + "/Tests/EMBL/TRBG361.embl.gz",
         Kind::DnaRna,
         {{Field::Name, "X56734"},
          {Field::Accession, "X56734"},
          {Field::Length, "1859"},
          {Field::Topology, "linear"},
          {Field::Description, "Trifolium repens mRNA for non-cyanogenic beta-glucosidase"}}},
        {kBiopython + "/Tests/Medline/pubmed_result1.txt",
         Kind::Citation,
         {{Field::Name, "PMID:12230038"},
          {Field::Accession, "12230038"},
          {Field::Authors, "Mangalam H"},
          {Field::Description, "The Bio* toolkits--a brief overview"},
          {Field::Journal, "Brief Bioinform"},
          {Field::Year, "2002"}}},
        {kBiopython + "/Tests/Blast/xml_2226_blastn_002.xml",
         Kind::Blast,
         {{Field::Name, "xml_2226_blastn_002.xml"}, // the source name given
          {Field::Program, "blastn"},
          {Field::Database, "db/minirefseq_mrna"},
          {Field::Description, "random_s00"},
          {Field::Hits, "0"}}},
    };
    for (const Case& c : cases) {
        const RecordFile file = readFile(c.path);
        const NewObject* object = first(file);
        ASSERT_TRUE(object) << c.path;
        EXPECT_EQ(object->kind, c.kind) << c.path;
        for (const auto& [field, value] : c.fields)
            EXPECT_EQ(object->meta[field], value) << c.path << " field " << static_cast<int>(field);
    }
}

TEST(Import, blastHitsAreCountedOverAllIterations)
{
    const std::string path = kBiopython + "/Tests/Blast/xml_2226_blastp_004.xml.gz";
    std::string bytes;
    ASSERT_TRUE(readRecordFile(path, bytes).ok());
    const RecordFile file = readFile(path);
    ASSERT_EQ(file.objects.size(), 1u);
    EXPECT_EQ(file.objects[0].meta[Field::Hits], std::to_string(occurrences(bytes, "<Hit>")));
    EXPECT_NE(file.objects[0].meta[Field::Hits], "0");
}

TEST(Import, fastaKindFollowsTheLetters)
{
    RecordFile file;
    ASSERT_TRUE(
        readRecords(">dna one\nACGTN\nacgu\n>prot two\nMKVLW\nEEQ*\n>gi|5|gb|AB1.1| x\nAC\n", "f",
                    file)
            .ok());
    ASSERT_EQ(file.objects.size(), 3u);
    EXPECT_EQ(file.objects[0].kind, Kind::DnaRna);
    EXPECT_EQ(file.objects[0].meta[Field::Length], "9");
    EXPECT_EQ(file.objects[1].kind, Kind::Protein);
    EXPECT_EQ(file.objects[1].meta[Field::Length], "8");
    EXPECT_EQ(file.objects[2].meta[Field::Accession], "AB1.1");
}

class AdminImport : public ::testing::Test
{
protected:
    void SetUp() override { createDatabase("lab"); }

    std::string write(const std::string& name, const std::string& text)
    {
        const std::string path = env.file(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    int count(const std::string& kind, const std::string& query = "MAIN")
    {
        return parseResultPage(
                   runHandler("molb://local/lab/" + kind + "/?start=0&page=1&query=" + query)
                       .output)
            .totalFound;
    }

    DbscoutTest::TestEnv env;
};

TEST_F(AdminImport, malformedRecordsAreReportedByFileAndRecordAndNotStored)
{
    struct Case
    {
        std::string name;
        std::string text;
        std::string message; // a part of standard error
        int stored;          // DNA objects stored from the file
    };
    const std::vector<Case> cases = {
        {"three.fa", ">a\nACGT\n>b\nAC9T\n>c\nGGCC\n",
         "three.fa: record 2: line 2 of \"b\" holds \"9\", which is no sequence letter", 2},
        {"empty.fa", ">e\nACGT\n>\nAC\n", "empty.fa: record 2: the header line names no sequence",
         1},
        {"locus.gb", "LOCUS       X1  12 bp DNA\n//\nLOCUS\n//\n",
         "locus.gb: record 2: the LOCUS line names no locus", 1},
        {"nolength.gb", "LOCUS       X2  DNA linear\n//\n",
         "nolength.gb: record 1: the LOCUS line of \"X2\" gives no length in bp, aa or rc", 0},
        {"twice.gb", "LOCUS       X3  5 bp DNA\nLOCUS       X4  5 bp DNA\n//\n",
         "twice.gb: record 1: a second LOCUS line before the record's \"//\"", 0},
        {"blast.xml", "<?xml version=\"1.0\"?>\n<BlastOutput>\n<BlastOutput_program>blastn",
         "blast.xml: record 1: malformed XML at line 3: the document ends inside "
         "<BlastOutput_program>.",
         0},
        {"other.xml", "<?xml version=\"1.0\"?>\n<BlastOutput><a></b></BlastOutput>",
         "other.xml: record 1: malformed XML at line 2: </b> does not close the open element.", 0},
        {"notes.txt", "just some notes\n",
         "notes.txt: not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML file", 0},
    };
    int total = 0;
    for (const Case& c : cases) {
        const ProcessResult result = runAdmin({"import", "lab", write(c.name, c.text)});
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_NE(result.errors.find(c.message), std::string::npos)
            << c.name << ": " << result.errors;
        total += c.stored;
        EXPECT_EQ(count("dnarna"), total) << c.name;
    }
}

TEST_F(AdminImport, aTruncatedCompressedFileStoresNothing)
{
    std::ifstream in(kBiopython + "/Tests/GenBank/cor6_6.gb.gz", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string path = write("cut.gb.gz", whole.substr(0, whole.size() / 2));
    const ProcessResult result = runAdmin({"import", "lab", path});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("cut.gb.gz: the compressed data ends early"), std::string::npos)
        << result.errors;
    EXPECT_EQ(count("dnarna"), 0);
}

TEST_F(AdminImport, importedRecordsAreListedServedAndGatheredInASubset)
{
    const std::string genbank = kEmboss + "/genbank/gbbct1.seq";
    const std::string swiss = kEmboss + "/swiss/seq.dat";
    const ProcessResult result = runAdmin({"import", "lab", "--subset", "emboss", genbank, swiss});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const RecordFile dna = readFile(genbank);
    const RecordFile protein = readFile(swiss);
    EXPECT_EQ(count("dnarna"), static_cast<int>(dna.objects.size()));
    EXPECT_EQ(count("protein"), static_cast<int>(protein.objects.size()));
    EXPECT_EQ(count("protein", "emboss"), static_cast<int>(protein.objects.size()));
    // The stored bytes are the record as it stands in the file.
    EXPECT_EQ(runHandler("molb://local/lab/dnarna/ECOLAC?command=fetch").output,
              dna.objects[0].bytes);
    // Importing again clashes with every name and stores nothing more.
    const ProcessResult again = runAdmin({"import", "lab", genbank});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.errors.find("An object named \"ECOLAC\" of dnarna objects exists already."),
              std::string::npos);
    EXPECT_EQ(count("dnarna"), static_cast<int>(dna.objects.size()));
}

} // namespace
