#pragma once
// The three NCBI databases the handler serves, with what the panel shows of each: the kind
// keyword of its pages, its columns, the filters its subset box offers and the text format of
// its records.

#include <array>
#include <span>
#include <string_view>

namespace Dbscout::Ncbi {

enum class Database { Nucleotide, Protein, Pubmed };

// How efetch's text records are told apart: GenBank and GenPept records end with a line "//";
// MEDLINE records are blocks of lines between blank lines.
enum class RecordText { GenBank, Medline };

// A subset of a database as an Entrez term; the subset box offers it by name.
struct EntrezFilter
{
    std::string_view name;
    std::string_view term;
};

struct DatabaseInfo
{
    Database database;
    std::string_view name;                   // the address segment and the Entrez db= value
    std::string_view sourceName;             // how messages name it: "NCBI PubMed"
    std::string_view kindKeyword;            // the page title: dnarna, protein or citation
    std::array<std::string_view, 5> headers; // the link's column first
    std::span<const EntrezFilter> filters;
    std::string_view fetchType; // efetch rettype (with retmode=text)
    RecordText records;
};

// The database an address names (exactly as NCBI spells it), or nullptr.
const DatabaseInfo* databaseNamed(std::string_view name);

} // namespace Dbscout::Ncbi
