// What the store makes of records, on real files from Debian's emboss-test and
// python-biopython-doc, and molb-admin import on good and malformed files.

#include "import/importer.h"
#include "molb_harness.h"

#include <filesystem>
#include <fstream>
#include <tuple>
#include <zlib.h>

using namespace Dbscout::Molb;
using namespace MolbTest;

namespace {

const std::string kEmboss = "/usr/share/EMBOSS/test";
const std::string kBiopython = "/usr/share/doc/python-biopython-doc";

std::string nameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// How many times what occurs in text, counted without the readers.
size_t occurrences(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
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
    using enum Field;
    using Case = std::tuple<std::string, Kind, std::vector<Field>, std::vector<std::string>>;
    for (const auto& [path, kind, fields, values] : {
             Case{kEmboss + "/genbank/gbbct1.seq",
                  Kind::DnaRna,
                  {Name, Accession, Length, Topology, Organism, Description},
                  {"ECOLAC", "J01636", "7477", "linear", "Escherichia coli",
                   "E.coli lactose operon with lacI, lacZ, lacY and lacA genes"}},
             Case{kEmboss + "/swiss/seq.dat",
                  Kind::Protein,
                  {Name, Accession, Length, Description},
                  {"CRU4_ARATH", "P15455", "472", "12S seed storage protein CRU4"}},
             Case{kBiopython + "/Tests/Medline/pubmed_result1.txt",
                  Kind::Citation,
                  {Name, Accession, Authors, Description, Journal, Year},
                  {"PMID:12230038", "12230038", "Mangalam H", "The Bio* toolkits--a brief overview",
                   "Brief Bioinform", "2002"}},
             // The name of a BLAST report is the source name given.
             Case{kBiopython + "/Tests/Blast/xml_2226_blastn_002.xml",
                  Kind::Blast,
                  {Name, Program, Database, Description, Hits},
                  {"xml_2226_blastn_002.xml", "blastn", "db/minirefseq_mrna", "random_s00", "0"}},
         }) {
        const RecordFile file = readFile(path);
        ASSERT_FALSE(file.objects.empty()) << path;
        EXPECT_EQ(file.objects[0].kind, kind) << path;
        std::vector<std::string> read;
        for (const Field field : fields)
            read.push_back(file.objects[0].meta[field]);
        EXPECT_EQ(read, values) << path;
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

// bytes gzipped once, as one member.
std::string gzipped(const std::string& bytes)
{
    z_stream stream = {};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(Import, compressedBytesInflateWithinTheirLimits)
{
    const std::string record = ">a\nACGT\n";
    const std::string zeros = gzipped(std::string(2 << 20, '\0'));
    const std::string fourTimes = gzipped(gzipped(gzipped(gzipped(record))));
    const InflateLimits small{1 << 20, 64, 3};
    std::string many; // cut half-way, it has inflated to much before its data ends
    while (many.size() < (1u << 20))
        many += record;
    const std::string halfOfMany = gzipped(many).substr(0, gzipped(many).size() / 2);
    const std::string endsEarly = "Cannot read f.gz: the compressed data ends early";
    // The bytes, the limits, then the message (none: they inflate to the record).
    using Case = std::tuple<std::string, InflateLimits, std::string>;
    for (const auto& [bytes, limits, message] : {
             Case{gzipped(record), {}, ""},
             Case{gzipped(gzipped(gzipped(record))), {}, ""},
             Case{gzipped(record) + gzipped(std::string()), {}, ""}, // an empty member at the end
             Case{gzipped(record) + "padding after the last member", {}, ""},
             Case{fourTimes, {}, "Cannot read f.gz: it is compressed more than 3 times over"},
             Case{zeros, small,
                  "Cannot read f.gz: it inflates to more than 1048576 bytes, far more than "
                  "record files inflate from its size; decompress it first if it is genuine"},
             Case{gzipped(record).substr(0, 12), {}, endsEarly},
             Case{halfOfMany, {}, endsEarly},
         }) {
        std::string inflated = bytes;
        const Status status = inflateRecordBytes("f.gz", inflated, limits);
        EXPECT_EQ(status.message(), message) << bytes.size() << " bytes";
        if (message.empty()) {
            EXPECT_EQ(inflated, record) << bytes.size() << " bytes";
        }
    }
    // Within the default limits the same zeros are no bomb: 2 MiB from 2 KB stays below 64 MiB.
    std::string inflated = zeros;
    EXPECT_TRUE(inflateRecordBytes("f.gz", inflated).ok());
    EXPECT_EQ(inflated.size(), size_t(2) << 20);
}

class AdminImport : public ::testing::Test
{
protected:
    void SetUp() override { makeStore("lab"); }

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
    // File name and text, a part of standard error, how many DNA objects it stores.
    using Case = std::tuple<std::string, std::string, std::string, int>;
    int total = 0;
    for (
        const auto& [name, text, message, stored] : {
            Case{"three.fa", ">a\nACGT\n>b\nAC9T\n>c\nGGCC\n",
                 "three.fa: record 2: line 4: \"9\" is no residue letter", 2},
            Case{"empty.fa", ">e\nACGT\n>\nAC\n",
                 "empty.fa: record 2: line 3: the header line names no sequence", 1},
            Case{"locus.gb", "LOCUS       X1  12 bp DNA\n//\nLOCUS\n//\n",
                 "locus.gb: record 2: line 3: the LOCUS line names no locus", 1},
            Case{
                "nolength.gb", "LOCUS       X2  DNA linear\n//\n",
                "nolength.gb: record 1: line 1: the LOCUS line of \"X2\" gives no length in bp, aa "
                "or rc",
                0},
            Case{"minus.gb", "LOCUS       X5  -0 bp DNA\n//\n",
                 "minus.gb: record 1: line 1: the LOCUS line of \"X5\" gives no length in bp, aa "
                 "or rc",
                 0},
            Case{"minus.embl", "ID   X6; SV 1; linear; DNA; STD; PLN; -0 BP.\n//\n",
                 "minus.embl: record 1: line 1: the ID line of \"X6\" gives no length in BP, AA or "
                 "SQ",
                 0},
            Case{"twice.gb", "LOCUS       X3  5 bp DNA\nLOCUS       X4  5 bp DNA\n//\n",
                 "twice.gb: record 1: line 2: a second LOCUS line before the record's \"//\"", 0},
            Case{"blast.xml", "<?xml version=\"1.0\"?>\n<BlastOutput>\n<BlastOutput_program>blastn",
                 "blast.xml: record 1: line 3: malformed XML: the document ends inside "
                 "<BlastOutput_program>",
                 0},
            Case{"notes.txt", "just some notes\n",
                 "notes.txt: not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML file", 0},
        }) {
        const ProcessResult result = runAdmin({"import", "lab", write(name, text)});
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_NE(result.errors.find(message), std::string::npos) << name << ": " << result.errors;
        total += stored;
        EXPECT_EQ(count("dnarna"), total) << name;
    }
    // Headers ending in carriage returns are imported with the rest, their bytes unchanged.
    const ProcessResult cr =
        runAdmin({"import", "lab", write("cr.fa", ">good\nACGT\n>cr\r\r\nACGT\n>crx x\r\r\nGG\n")});
    EXPECT_EQ(cr.exitCode, 0) << cr.errors;
    EXPECT_NE(cr.output.find("cr.fa: 3 FASTA record(s) stored"), std::string::npos) << cr.output;
    EXPECT_EQ(count("dnarna"), total + 3);
    EXPECT_EQ(runHandler("molb://local/lab/dnarna/crx?command=fetch").output, ">crx x\r\r\nGG\n");
}

TEST_F(AdminImport, filesThatCannotBeReadAreNamedWithWhyAndStoreNothing)
{
    const std::string folder = env.file("a-folder");
    std::filesystem::create_directory(folder);
    const std::string missing = env.file("missing.fa");
    // 80 MiB of "A" from 80 KB: beyond 64 MiB, and beyond 64 times the file's size.
    const std::string bomb = write("bomb.fa.gz", gzipped(">a\n" + std::string(80 << 20, 'A')));
    const std::string one = write("one.fa", ">a\nACGT\n");
    const std::string two = write("two.fa", ">b\nACGT\n");
    // The files, the environment, then standard error whole.
    using Case = std::tuple<std::vector<std::string>, std::vector<std::string>, std::string>;
    for (const auto& [files, environment, errors] : {
             Case{{folder, missing},
                  {},
                  "molb-admin: " + folder + ": Cannot read " + folder +
                      ": Is a directory\nmolb-admin: " + missing + ": Cannot open " + missing +
                      ": No such file or directory\n"},
             Case{{bomb},
                  {},
                  "molb-admin: " + bomb + ": Cannot read " + bomb + ": it inflates to more than " +
                      std::to_string(64 << 20) +
                      " bytes, far more than record files inflate from its size; decompress it "
                      "first if it is genuine\n"},
             // An import that throws, as a fault of the program would, costs only its file.
             Case{{one, two},
                  {"DBSCOUT_MOLB_TEST_PAUSE=import:throw"},
                  "molb-admin: " + one + ": nothing stored: test fault at import\nmolb-admin: " +
                      two + ": nothing stored: test fault at import\n"},
         }) {
        std::vector<std::string> arguments = {"import", "lab"};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const ProcessResult result = runAdmin(arguments, {}, environment);
        EXPECT_EQ(result.exitCode, 1) << files[0];
        EXPECT_EQ(result.errors, errors) << files[0];
        EXPECT_EQ(count("dnarna"), 0) << files[0];
    }
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
