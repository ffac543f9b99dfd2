#include "ebi_source.h"

#include "ascii_text.h"

namespace Dbscout::Ebi {
namespace {

// UniProt's own query fields (UniProt's help, "Query fields for UniProtKB").
constexpr Filter kUniProtFilters[] = {
    {"Reviewed (Swiss-Prot)", "reviewed:true"},
    {"Unreviewed (TrEMBL)", "reviewed:false"},
    {"Human", "organism_id:9606"},
    {"With 3D structure", "structure_3d:true"},
};

// ENA's portal search fields of result=sequence (ENA portal API, "searchFields").
constexpr Filter kEnaFilters[] = {
    {"mRNA", "mol_type=\"mRNA\""},
    {"Genomic DNA", "mol_type=\"genomic DNA\""},
    {"Human", "tax_eq(9606)"},
    {"Standard annotated entries", "dataclass=\"STD\""},
};

const SourceInfo kSources[] = {
    {{"uniprotkb",
      "UniProtKB",
      "protein",
      {"Accession", "Entry name", "Protein", "Organism", "Length", "Modified"},
      kUniProtFilters},
     Source::UniProtKB,
     "gene:INS AND organism_id:9606"},
    {{"ena",
      "ENA",
      "dnarna",
      {"Accession", "Description", "Organism", "Length", "Updated"},
      kEnaFilters},
     Source::Ena,
     "tax_eq(9606) AND mol_type=\"mRNA\""},
};

} // namespace

const SourceInfo* sourceNamed(std::string_view name)
{
    for (const SourceInfo& source : kSources) {
        if (Handlers::equalsIgnoringCase(source.name, name))
            return &source;
    }
    return nullptr;
}

} // namespace Dbscout::Ebi
