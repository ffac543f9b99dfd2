#pragma once
// The feature table that GenBank, EMBL and UniProt share. Without its line prefix ("FT   " or
// five blanks) a line either starts a feature with its key and location, or continues it with
// more of the location, a qualifier ("/name=value") or more of a qualifier's value. A quoted
// value may run over lines, and a doubled quote inside it stands for one. Old UniProt entries
// write "KEY  FROM  TO  description" instead.

#include "outcome.h"
#include "record.h"

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Records {

class FeatureTableReader
{
public:
    // oldUniProt: key lines may be of the old UniProt kind.
    explicit FeatureTableReader(bool oldUniProt = false) : m_oldUniProt(oldUniProt) {}

    // One line of the table without its prefix, and its number in the text.
    Outcome line(std::string_view content, size_t number);
    // Ends the table: the features read, each location checked against a sequence of length
    // residues (none when length is 0).
    Outcome finish(long long length, std::vector<Feature>& features);

private:
    Outcome startFeature(std::string_view content, size_t number);
    Outcome startQualifier(std::string_view text, size_t number);
    Outcome continueValue(std::string_view text, size_t number);
    Outcome closeQuote(size_t number);
    Outcome endLocation();
    Outcome endFeature();

    bool m_oldUniProt;
    std::vector<Feature> m_features;
    std::vector<size_t> m_lines; // where each feature starts
    std::string m_location;      // of the last feature, while its lines come
    bool m_inLocation = false;
    bool m_oldStyle = false; // the last feature is of the old UniProt kind
    bool m_quoteOpen = false;
    std::string m_raw;    // the open quoted value as written, after its first quote
    size_t m_scanned = 0; // how much of m_raw is known to hold no closing quote
    size_t m_qualifierLine = 0;
};

// Writes the features, each line after prefix ("FT   " or five blanks).
void writeFeatureTable(std::string& out, std::string_view prefix,
                       const std::vector<Feature>& features);

} // namespace Dbscout::Records
