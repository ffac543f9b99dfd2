// Each format's reader on hand-made records that hold every field the model keeps, the faults
// earlier readers had, malformed records with the line where reading stopped, and texts of many
// records with where each begins.

#include "records/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

using namespace Dbscout::Records;

namespace {

Record readOne(Format format, const std::string& text)
{
    Record record;
    const Outcome outcome = readRecord(format, text, record);
    EXPECT_TRUE(outcome.ok()) << outcome.text() << "\n" << text;
    return record;
}

const char* kGenBank =
    "LOCUS       SCU49845     30 bp    DNA     circular PLN 21-JUN-1999\n"
    "DEFINITION  Saccharomyces cerevisiae TCP1-beta gene, partial cds, and\n"
    "            Axl2p (AXL2) genes.\n"
    "ACCESSION   U49845 U49846\n"
    "VERSION     U49845.1  GI:1293613\n"
    "KEYWORDS    beta; partial cds.\n"
    "SOURCE      Saccharomyces cerevisiae (baker's yeast)\n"
    "  ORGANISM  Saccharomyces cerevisiae\n"
    "            Eukaryota; Fungi; Ascomycota;\n"
    "            Saccharomyces.\n"
    "REFERENCE   1  (bases 1 to 30)\n"
    "  AUTHORS   Roemer,T., Madden,K. and Snyder,M.\n"
    "  TITLE     Selection of axial growth sites in yeast requires Axl2p, a novel\n"
    "            plasma membrane glycoprotein\n"
    "  JOURNAL   Genes Dev. 10 (7), 777-793 (1996)\n"
    "   PUBMED   8846915\n"
    "FEATURES             Location/Qualifiers\n"
    "     source          1..30\n"
    "                     /organism=\"Saccharomyces cerevisiae\"\n"
    "     CDS             <1..>30\n"
    "                     /codon_start=3\n"
    "ORIGIN\n"
    "        1 gatcctccat atacaacggt atctccacct\n"
    "//\n";

TEST(Readers, genBankFieldsGoIntoTheModel)
{
    const Record record = readOne(Format::GenBank, kGenBank);
    EXPECT_EQ(record.name, "SCU49845");
    EXPECT_EQ(record.accessions, (std::vector<std::string>{"U49845", "U49846"}));
    EXPECT_EQ(record.version + " " + record.gi, "U49845.1 1293613");
    EXPECT_EQ(record.description,
              "Saccharomyces cerevisiae TCP1-beta gene, partial cds, and Axl2p (AXL2) genes");
    EXPECT_EQ(record.keywords, (std::vector<std::string>{"beta", "partial cds"}));
    EXPECT_EQ(record.organism, "Saccharomyces cerevisiae");
    EXPECT_EQ(record.taxonomy,
              (std::vector<std::string>{"Eukaryota", "Fungi", "Ascomycota", "Saccharomyces"}));
    EXPECT_EQ(record.molecule + " " + topologyName(record.topology) + " " + record.division + " " +
                  record.updated,
              "DNA circular PLN 21-JUN-1999");
    // Listings show an entry's date as a calendar date, and anything else as no date.
    for (const auto& [date, iso] :
         std::vector<std::pair<std::string, std::string>>{{record.updated, "1999-06-21"},
                                                          {"01-DEC-2000", "2000-12-01"},
                                                          {"21-JUX-1999", ""},
                                                          {"01-AUG-99", ""},
                                                          {"2000-01-19", ""}})
        EXPECT_EQ(isoDate(date), iso) << date;
    EXPECT_EQ(record.kind, RecordKind::Nucleotide);
    EXPECT_EQ(record.length, 30);
    ASSERT_EQ(record.references.size(), 1u);
    const Reference& reference = record.references[0];
    EXPECT_EQ(reference.number + "|" + reference.span + "|" + reference.pubmed,
              "1|bases 1 to 30|8846915");
    EXPECT_EQ(reference.title, "Selection of axial growth sites in yeast requires Axl2p, a novel "
                               "plasma membrane glycoprotein");
    ASSERT_EQ(record.features.size(), 2u);
    EXPECT_EQ(record.features[1].key + " " + locationText(record.features[1].location),
              "CDS <1..>30");
    EXPECT_EQ(record.sequence, "GATCCTCCATATACAACGGTATCTCCACCT");
    // A GenPept record counts amino acids.
    const Record protein = readOne(Format::GenBank, "LOCUS       NP_1 3 aa linear PRI 01-NOV-2000\n"
                                                    "ORIGIN\n        1 mkv\n//\n");
    EXPECT_EQ(protein.kind, RecordKind::Protein);
    EXPECT_EQ(protein.molecule + " " + protein.division, "protein PRI");
}

TEST(Readers, emblAndUniProtFieldsGoIntoTheModel)
{
    const Record embl =
        readOne(Format::Embl, "ID   X56734; SV 2; linear; mRNA; STD; PRO; 12 BP.\nXX\n"
                              "AC   X56734; S46826;\nDT   12-SEP-1991 (Rel. 29, Created)\n"
                              "DT   25-NOV-2005 (Rel. 85, Last updated, Version 11)\n"
                              "DE   Bacillus mRNA for\nDE   a protein\nKW   beta-glucosidase.\n"
                              "OS   Bacillus sp.\nOC   Bacteria; Firmicutes.\nRN   [1]\nRP   1-12\n"
                              "RX   PUBMED; 1907511.\nRA   Oh B., Lee C.;\nRT   \"A title\n"
                              "RT   in two lines\";\nRL   Plant Mol. Biol. 17:209-221(1991).\n"
                              "FT   CDS             1..12\nFT                   /product=\"x\"\n"
                              "SQ   Sequence 12 BP;\n     acgtacgtac gt   12\n//\n");
    EXPECT_EQ(embl.format, Format::Embl);
    EXPECT_EQ(embl.name + " " + embl.version + " " + embl.molecule + " " + embl.division,
              "X56734 X56734.2 mRNA PRO");
    EXPECT_EQ(embl.created + " " + embl.updated, "12-SEP-1991 25-NOV-2005");
    EXPECT_EQ(embl.description, "Bacillus mRNA for a protein");
    EXPECT_EQ(embl.organism, "Bacillus sp."); // EMBL ends no organism with a dot of its own
    EXPECT_EQ(embl.taxonomy, (std::vector<std::string>{"Bacteria", "Firmicutes"}));
    ASSERT_EQ(embl.references.size(), 1u);
    EXPECT_EQ(embl.references[0].authors + "|" + embl.references[0].title + "|" +
                  embl.references[0].pubmed,
              "Oh B., Lee C.|A title in two lines|1907511");
    EXPECT_EQ(embl.sequence, "ACGTACGTACGT");

    const Record uniprot =
        readOne(Format::Embl, "ID   CYC_HUMAN               Reviewed;         5 AA.\n"
                              "AC   P99999; P00001;\nDT   21-JUL-1986, integrated into "
                              "UniProtKB/Swiss-Prot.\nDT   23-JAN-2007, sequence version 2.\n"
                              "DE   RecName: Full=Cytochrome c {ECO:0000269|PubMed:1};\n"
                              "DE   AltName: Full=Other;\nOS   Homo sapiens (Human).\n"
                              "RN   [1]\nRX   PubMed=2830000; DOI=10.1/x;\n"
                              "FT   CHAIN           1..5\nFT                   /note=\"c\"\n"
                              "SQ   SEQUENCE   5 AA;  11749 MW;  7EBA9D5D50D3E1B3 CRC64;\n"
                              "     MGDVE\n//\n");
    EXPECT_EQ(uniprot.format, Format::UniProt);
    EXPECT_EQ(uniprot.kind, RecordKind::Protein);
    EXPECT_EQ(uniprot.version + " " + uniprot.division, "P99999.2 Reviewed");
    EXPECT_EQ(uniprot.description, "Cytochrome c");
    EXPECT_EQ(uniprot.organism, "Homo sapiens (Human)");
    EXPECT_EQ(uniprot.references.at(0).pubmed, "2830000");
    EXPECT_EQ(uniprot.features.at(0).key, "CHAIN");
}

TEST(Readers, fastaIdentifiersAndAlphabets)
{
    // Header, then name, accession, version, GI, kind, length.
    using Case = std::tuple<std::string, std::string, std::string, std::string, std::string,
                            RecordKind, long long>;
    for (const auto& [text, name, accession, version, gi, kind, length] : {
             Case{">sp|P69905|HBA_HUMAN Hemoglobin\nMVLSPADKTN\nVKAAW\n", "sp|P69905|HBA_HUMAN",
                  "P69905", "", "", RecordKind::Protein, 15},
             Case{">gi|5524211|gb|AAD44166.1| cytb\nLCLYTHIGRN\n", "gi|5524211|gb|AAD44166.1|",
                  "AAD44166", "AAD44166.1", "5524211", RecordKind::Protein, 10},
             Case{">NM_000518.5 HBB\nacgtn\nACG-T.U\n", "NM_000518.5", "NM_000518", "NM_000518.5",
                  "", RecordKind::Nucleotide, 10},
             Case{">x\tdescription\r\r\nMK*\n", "x", "x", "", "", RecordKind::Protein, 2},
         }) {
        const Record record = readOne(Format::Fasta, text);
        EXPECT_EQ(record.name, name);
        EXPECT_EQ(record.accession(), accession) << text;
        EXPECT_EQ(record.version, version) << text;
        EXPECT_EQ(record.gi, gi) << text;
        EXPECT_EQ(record.kind, kind) << text;
        EXPECT_EQ(record.length, length) << text;
    }
    EXPECT_EQ(readOne(Format::Fasta, ">a\nAC.G-\n").sequence, "AC-G-"); // both gap marks
}

TEST(Readers, medlineAndBlastReports)
{
    const Record citation = readOne(
        Format::Medline, "PMID- 12230038\nTI  - The Bio* toolkits--a brief\n      overview.\n"
                         "AB  - An abstract.\nAU  - Mangalam H\nAU  - Smith J\n"
                         "AD  - An address\n      that continues.\nJT  - Briefings in "
                         "bioinformatics\nTA  - Brief Bioinform\nDP  - 2002 Sep\nVI  - 3\n"
                         "IP  - 3\nPG  - 296-302\n");
    EXPECT_EQ(citation.name, "PMID:12230038");
    EXPECT_EQ(citation.citation.title, "The Bio* toolkits--a brief overview.");
    EXPECT_EQ(citation.citation.authors, (std::vector<std::string>{"Mangalam H", "Smith J"}));
    EXPECT_EQ(citation.citation.journal + " " + citation.citation.year + " " +
                  citation.citation.volume + "(" + citation.citation.issue +
                  "):" + citation.citation.pages,
              "Brief Bioinform 2002 3(3):296-302");

    const std::string hits =
        "<Hit><Hit_id>HBA_PANTR</Hit_id><Hit_def>Hemoglobin &amp; alpha</Hit_def>"
        "<Hit_accession>P69907</Hit_accession><Hit_len>142</Hit_len><Hit_hsps>"
        "<Hsp><Hsp_bit-score>285.4</Hsp_bit-score><Hsp_evalue>1e-99</Hsp_evalue>"
        "<Hsp_identity>141</Hsp_identity><Hsp_align-len>142</Hsp_align-len></Hsp>"
        "<Hsp><Hsp_bit-score>20.1</Hsp_bit-score></Hsp></Hit_hsps></Hit>";
    const Record output = readOne(
        Format::BlastXml,
        "<?xml version=\"1.0\"?>\n<BlastOutput><BlastOutput_program>blastp</BlastOutput_program>"
        "<BlastOutput_version>BLASTP 2.2.12 [Aug-07-2005]</BlastOutput_version>"
        "<BlastOutput_db>nr</BlastOutput_db><BlastOutput_query-ID>q1</BlastOutput_query-ID>"
        "<BlastOutput_query-def>HBA_HUMAN</BlastOutput_query-def><BlastOutput_query-len>142"
        "</BlastOutput_query-len><BlastOutput_iterations><Iteration><Iteration_hits>" +
            hits + "</Iteration_hits></Iteration><Iteration><Iteration_hits>" + hits +
            "</Iteration_hits></Iteration></BlastOutput_iterations></BlastOutput>");
    const BlastReport& report = output.blast;
    EXPECT_EQ(report.program + "|" + report.database + "|" + report.queryId + "|" +
                  report.queryDefinition + "|" + std::to_string(report.queryLength),
              "blastp|nr|q1|HBA_HUMAN|142");
    ASSERT_EQ(report.hits.size(), 2u); // over both iterations
    EXPECT_EQ(report.hits[0].definition, "Hemoglobin & alpha");
    ASSERT_EQ(report.hits[0].hsps.size(), 2u);
    EXPECT_EQ(report.hits[0].hsps[0].bitScore + " " + report.hits[0].hsps[0].evalue, "285.4 1e-99");
    // BlastXML2 names the same facts otherwise.
    const Record xml2 = readOne(
        Format::BlastXml,
        "<BlastXML2><BlastOutput2><report><Report><program>blastn</program>"
        "<search_target><db>nt</db></search_target><results><Results><search><Search>"
        "<query-id>Query_1</query-id><query-title>t</query-title><query-len>20</query-len>"
        "<hits><Hit><description><HitDescr><id>gi|1</id><accession>AB1</accession>"
        "<title>first</title></HitDescr><HitDescr><id>gi|2</id></HitDescr></description>"
        "<len>90</len><hsps><Hsp><bit-score>40</bit-score><identity>20</identity></Hsp></hsps>"
        "</Hit></hits></Search></search></Results></results></Report></report></BlastOutput2>"
        "</BlastXML2>");
    ASSERT_EQ(xml2.blast.hits.size(), 1u);
    EXPECT_EQ(xml2.blast.program + " " + xml2.blast.database + " " + xml2.accession(),
              "blastn nt Query_1");
    EXPECT_EQ(xml2.blast.hits[0].id + " " + xml2.blast.hits[0].accession + " " +
                  std::to_string(xml2.blast.hits[0].length) + " " +
                  std::to_string(xml2.blast.hits[0].hsps.at(0).identities),
              "gi|1 AB1 90 20");
}

TEST(Readers, malformedRecordsNameTheLineWhereReadingStopped)
{
    std::ifstream cases(DBSCOUT_RECORDS_TEST_DIR "/malformed_records.txt");
    ASSERT_TRUE(cases);
    std::vector<std::tuple<Format, std::string, std::string>> table; // format, text, error
    for (std::string line; std::getline(cases, line);) {
        if (line.starts_with('#'))
            continue;
        if (!line.starts_with("== ")) {
            ASSERT_FALSE(table.empty()) << line;
            std::get<1>(table.back()) += line + "\n";
            continue;
        }
        const size_t colon = line.find(": ");
        const std::string name = line.substr(3, colon - 3);
        const Format formats[] = {Format::GenBank, Format::Embl, Format::Fasta, Format::Medline,
                                  Format::BlastXml};
        const auto* format = std::find_if(std::begin(formats), std::end(formats),
                                          [&](Format f) { return formatName(f) == name; });
        ASSERT_NE(format, std::end(formats)) << line;
        table.emplace_back(*format, "", line.substr(colon + 2));
    }
    EXPECT_GT(table.size(), 20u);
    for (const auto& [format, text, error] : table) {
        Record record;
        EXPECT_EQ(readRecord(format, text, record).text(), error) << text;
    }
}

TEST(Readers, textsOfManyRecordsSayWhereEachBegins)
{
    // Text, then the first line of each record and the name read from it (or the error).
    using Case = std::tuple<std::string, std::vector<size_t>, std::vector<std::string>>;
    for (const auto& [text, lines, names] : {
             Case{"Release notes\n\nLOCUS       A 1 bp\nORIGIN\n 1 a\n//\n\nLOCUS       B 1 bp\n"
                  "ORIGIN\n 1 c\n//\nLOCUS       C 2 bp\nORIGIN\n 1 a\n",
                  {3, 8, 12},
                  {"A", "B", "line 13: the entry declares 2 residues but its sequence holds 1"}},
             Case{">a\nAC\n\n>b\nGG\n", {1, 4}, {"a", "b"}},
             Case{"ID   P1  Reviewed;  1 AA.\nSQ   SEQUENCE 1 AA;\n     M\n//\nID   P2  "
                  "Reviewed;  1 AA.\nSQ   SEQUENCE 1 AA;\n     K\n//\n",
                  {1, 5},
                  {"P1", "P2"}},
             Case{"\nPMID- 1\nTI  - a\n\n\nPMID- 2\n", {2, 6}, {"PMID:1", "PMID:2"}},
             // A stray carriage return separates words as a blank does.
             Case{"LOCUS       X1\r 12 bp DNA\r\r\nACCESSION   AB1\r\r\n//\n", {1}, {"X1"}},
             Case{"ID   U1\r; 105 AA.\r\r\nAC   P2\r;\r\r\n//\n", {1}, {"U1"}},
         }) {
        RecordText read;
        ASSERT_TRUE(readRecords(text, read).ok()) << text;
        std::vector<size_t> firstLines;
        std::vector<std::string> read_names;
        for (const ReadEntry& entry : read.entries) {
            firstLines.push_back(entry.place.line);
            read_names.push_back(entry.outcome.ok() ? entry.record.name : entry.outcome.text());
            // Each place holds its own record and nothing of the next.
            Record again;
            const std::string_view own =
                std::string_view(text).substr(entry.place.offset, entry.place.size);
            EXPECT_EQ(readRecord(read.format, own, again).ok(), entry.outcome.ok()) << own;
        }
        EXPECT_EQ(firstLines, lines) << text;
        EXPECT_EQ(read_names, names) << text;
    }
    RecordText read;
    EXPECT_EQ(readRecords("just some notes\n", read).text(),
              "not a GenBank, EMBL, UniProt, FASTA, MEDLINE or BLAST XML text");
}

} // namespace
