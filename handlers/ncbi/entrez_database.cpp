#include "entrez_database.h"

namespace Dbscout::Ncbi {
namespace {

constexpr EntrezFilter kNucleotideFilters[] = {
    {"RefSeq", "refseq[filter]"},
    {"mRNA", "biomol_mrna[prop]"},
    {"Genomic DNA", "biomol_genomic[prop]"},
    {"Human", "human[orgn]"},
};
constexpr EntrezFilter kProteinFilters[] = {
    {"RefSeq", "refseq[filter]"},
    {"Swiss-Prot reviewed", "swissprot[filter]"},
    {"With structure", "pdb[filter]"},
    {"Human", "human[orgn]"},
};
constexpr EntrezFilter kPubmedFilters[] = {
    {"Reviews", "review[pt]"},
    {"Free full text", "free full text[sb]"},
    {"Clinical trials", "clinical trial[pt]"},
    {"Last 5 years", "\"last 5 years\"[dp]"},
};

const DatabaseInfo kDatabases[] = {
    {{"nucleotide",
      "NCBI Nucleotide",
      "dnarna",
      {"Accession", "Title", "Length", "Organism", "Updated"},
      kNucleotideFilters},
     Database::Nucleotide,
     "gb",
     RecordText::GenBank},
    {{"protein",
      "NCBI Protein",
      "protein",
      {"Accession", "Title", "Length", "Organism", "Updated"},
      kProteinFilters},
     Database::Protein,
     "gp",
     RecordText::GenBank},
    {{"pubmed",
      "NCBI PubMed",
      "citation",
      {"First author", "Title", "Journal", "Year", "PMID"},
      kPubmedFilters},
     Database::Pubmed,
     "medline",
     RecordText::Medline},
};

} // namespace

const DatabaseInfo* databaseNamed(std::string_view name)
{
    for (const DatabaseInfo& info : kDatabases) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

} // namespace Dbscout::Ncbi
