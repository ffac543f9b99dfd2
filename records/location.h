#pragma once
// Feature locations as the feature tables of GenBank, EMBL and UniProt write them: single
// bases, ranges with partial ends, sites between bases, ranges on other records, and their
// joins, orders, bonds and complements. Reading keeps everything the text says, so that writing
// gives it back.

#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Records {

struct Position
{
    enum class Fuzz : char {
        Exact,
        Before,    // "<12": the feature starts somewhere before
        After,     // ">12": it ends somewhere after
        Within,    // "(12.15)": one base of 12 to 15
        OneOf,     // "one-of(12,15)"
        Unknown,   // "?": nobody knows (UniProt)
        Uncertain, // "?12": about there (UniProt)
    };
    Fuzz fuzz = Fuzz::Exact;
    long long value = 0;           // the base, the first of a Within or OneOf; 0 when Unknown
    std::vector<long long> others; // Within: the last base; OneOf: the other choices

    bool operator==(const Position&) const = default;
};

struct Location
{
    enum class Kind { Range, Between, Join, Order, Bond, Complement, Gap };
    Kind kind = Kind::Range;
    std::string accession;       // Range or Between on another record: "J00194.1"
    Position from;               // Range, Between
    Position to;                 // Range with "..", Between
    bool ranged = false;         // a Range written with "..", not one base
    std::vector<Location> parts; // Join, Order, Bond: the members; Complement: the one inside
    std::string gap;             // Gap: what its parentheses hold, "100", "unk100" or ""

    bool operator==(const Location&) const = default;
};

// Reads text (blanks are ignored) into location; false with why in error, which names the
// place where reading stopped.
bool parseLocation(std::string_view text, Location& location, std::string& error);
// The location as a feature table writes it.
std::string locationText(const Location& location);

// Whether a position of the location is not exact: the feature's ends are not known.
bool isPartial(const Location& location);
// Whether a part of the location lies on another record.
bool isRemote(const Location& location);
// The first position of this record that is exact and outside 1..length, or nullptr.
const Position* positionOutside(const Location& location, long long length);

// The residues that location names in sequence (position 1 is its first letter), joined in
// order, complemented where it says so. False with why in error when it names none there: a
// part on another record, a site between residues, a gap, a bond, an unknown end, a range that
// runs backwards or past the sequence, or more residues in all than the sequence holds.
bool spliceLocation(const Location& location, std::string_view sequence, std::string& residues,
                    std::string& error);

} // namespace Dbscout::Records
