#pragma once
// The three NCBI databases the handler serves, with what the panel shows of each: the kind
// keyword of its pages, its columns, the filters its subset box offers and the text format of
// its records.

#include "listing_page.h"

#include <string_view>

namespace Dbscout::Ncbi {

enum class Database { Nucleotide, Protein, Pubmed };

// How efetch's text records are told apart: GenBank and GenPept records end with a line "//";
// MEDLINE records are blocks of lines between blank lines.
enum class RecordText { GenBank, Medline };

// A subset of a database as an Entrez term; the subset box offers it by name.
using EntrezFilter = Web::QueryFilter;

// The name is the address segment and the Entrez db= value.
struct DatabaseInfo : Web::WebSource
{
    Database database;
    std::string_view fetchType; // efetch rettype (with retmode=text)
    RecordText records;
};

// The database an address names (exactly as NCBI spells it), or nullptr.
const DatabaseInfo* databaseNamed(std::string_view name);

} // namespace Dbscout::Ncbi
