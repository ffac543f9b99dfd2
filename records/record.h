#pragma once
// One model of a record, whatever format it came in: a GenBank, GenPept, EMBL or UniProt entry,
// a FASTA sequence, a MEDLINE citation or a BLAST report. Readers fill it from text and writers
// turn it back into text of the same format, so that what a program shows or stores is taken
// from one reading of the bytes.

#include "location.h"

#include <string>
#include <vector>

namespace Dbscout::Records {

enum class Format { GenBank, Embl, UniProt, Fasta, Medline, BlastXml };

// What the record holds: a sequence of either alphabet, a citation or a search report.
enum class RecordKind { Nucleotide, Protein, Citation, BlastReport };

enum class Topology { Unknown, Linear, Circular };

struct Qualifier
{
    std::string name;      // without its "/"
    std::string value;     // without quotes, a doubled quote read as one
    bool hasValue = false; // "/pseudo" has none, "/note=\"\"" has an empty one
    bool quoted = false;

    bool operator==(const Qualifier&) const = default;
};

struct Feature
{
    std::string key; // "CDS", "gene", "CHAIN", ...
    Location location;
    std::vector<Qualifier> qualifiers;

    // The first value of the qualifier name, or nullptr.
    const std::string* qualifier(std::string_view name) const;
    bool operator==(const Feature&) const = default;
};

// A reference of a sequence entry, each field as the entry words it, continuation lines joined.
struct Reference
{
    std::string number; // "1"
    std::string span;   // "bases 1 to 5028", "1-1859" or a UniProt scope
    std::string authors;
    std::string consortium;
    std::string title;
    std::string journal;
    std::string pubmed;
    std::string remark;

    bool operator==(const Reference&) const = default;
};

// A MEDLINE citation.
struct Citation
{
    std::string pmid;
    std::vector<std::string> authors;
    std::string title;
    std::string journal; // the abbreviation, else the full title
    std::string year;
    std::string volume;
    std::string issue;
    std::string pages;
    std::string abstract;

    bool operator==(const Citation&) const = default;
};

struct BlastHsp
{
    std::string bitScore; // as the report writes it: "285.4"
    std::string evalue;
    long long identities = 0;
    long long alignLength = 0;

    bool operator==(const BlastHsp&) const = default;
};

struct BlastHit
{
    std::string id;
    std::string accession;
    std::string definition;
    long long length = 0;
    std::vector<BlastHsp> hsps; // best first

    bool operator==(const BlastHit&) const = default;
};

struct BlastReport
{
    std::string program;
    std::string version; // "BLASTN 2.2.12 [Aug-07-2005]"
    std::string database;
    std::string queryId;
    std::string queryDefinition;
    long long queryLength = 0;
    std::vector<BlastHit> hits; // over all iterations, in order

    bool operator==(const BlastReport&) const = default;
};

struct Record
{
    Record() = default;
    Record(Format format, RecordKind kind) : format(format), kind(kind) {}

    Format format = Format::Fasta;
    RecordKind kind = RecordKind::Nucleotide;
    std::string name;                    // LOCUS or ID name, FASTA identifier, "PMID:n"
    std::vector<std::string> accessions; // the primary one first
    std::string version;                 // accession.version
    std::string gi;
    std::string description;
    std::string organism;
    std::vector<std::string> taxonomy; // from the kingdom down
    std::string created;               // dates as the entry writes them
    std::string updated;
    std::string molecule; // "DNA", "mRNA", "protein", ...
    Topology topology = Topology::Unknown;
    std::string division;
    long long length = 0;       // residues, or records when countsRecords
    bool countsRecords = false; // a master record of a sequencing project
    std::vector<std::string> keywords;
    std::vector<Reference> references;
    std::vector<Feature> features;
    std::string sequence; // upper-case residue letters, "*" and "-"
    Citation citation;    // RecordKind::Citation
    BlastReport blast;    // RecordKind::BlastReport

    const std::string& accession() const;
    bool operator==(const Record&) const = default;
};

// The format's name as users know it: "GenBank", "EMBL", "UniProt", ...
const char* formatName(Format format);
// "linear", "circular", or "" when unknown.
const char* topologyName(Topology topology);
// An entry's date, "21-JUN-1999", as 1999-06-21; empty when it is no such date.
std::string isoDate(std::string_view entryDate);

} // namespace Dbscout::Records
