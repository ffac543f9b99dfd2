#pragma once
// The coding sequences of a GenBank or EMBL nucleotide record: their locations, resolved against
// the record's sequence, and the qualifiers a translation needs.

#include "model/shared_names.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

struct CodingSequence
{
    std::string location; // as the feature table writes it
    std::string product;  // /product, empty when absent
    int codonStart = 1;   // /codon_start: 1, 2 or 3
    int geneticCode = 1;  // /transl_table
};

struct NucleotideRecord
{
    std::string sequence; // upper-case letters of the record's sequence
    std::vector<CodingSequence> codingSequences;
};

// Reads the feature table and sequence of one GenBank or EMBL record. BadRequest when the text is
// neither or has no sequence.
Status readNucleotideRecord(std::string_view text, NucleotideRecord& record);

// The bases that location names in sequence (1-based positions; complement, join, order and the
// partial markers "<" and ">" are understood). BadRequest for a location that points outside
// sequence or into another record.
Status spliceLocation(std::string_view location, const std::string& sequence, std::string& bases);

} // namespace Dbscout::Molb
