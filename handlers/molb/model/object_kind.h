#pragma once
// The five kinds of objects, their page-title keywords and the columns a listing shows for each.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace Dbscout::Molb {

// The numbers are the host's data-type codes.
enum class Kind { DnaRna = 1, Protein = 2, Citation = 14, Blast = 15, Analysis = 17 };

inline constexpr std::array<Kind, 5> kAllKinds = {Kind::DnaRna, Kind::Protein, Kind::Citation,
                                                  Kind::Blast, Kind::Analysis};

// The metadata an object carries. Which ones a kind shows, and under which header, is in
// kindColumns; Name and Accession are shared by every kind.
enum class Field {
    Name,
    Accession,
    Length,
    Topology,
    Organism,
    Description,
    Authors,
    Journal,
    Year,
    Program,
    Database,
    Hits,
    RunDate,
    AnalysisType,
    Source,
    Modified,
    Created,
    Count // number of fields, not a field
};
inline constexpr size_t kFieldCount = static_cast<size_t>(Field::Count);

// Every field's value as text; numbers in decimal, times in seconds since the epoch.
struct ObjectMeta
{
    std::array<std::string, kFieldCount> values;

    std::string& operator[](Field field) { return values[static_cast<size_t>(field)]; }
    const std::string& operator[](Field field) const { return values[static_cast<size_t>(field)]; }
};

struct KindColumn
{
    const char* header;
    Field field;
};

std::optional<Kind> kindFromKeyword(std::string_view keyword);
const char* kindKeyword(Kind kind);
// The listing columns of a kind, in page order; the first is always Name.
std::span<const KindColumn> kindColumns(Kind kind);
// The field that a search filter "header:value" names for a kind (header without regard to case).
std::optional<Field> fieldForFilter(Kind kind, std::string_view header);
// Length and Hits are whole numbers; every other field is text.
bool isNumericField(Field field);
// Modified and Created are times.
bool isTimeField(Field field);
// A time field as the listing shows it: "YYYY-MM-DD HH:MM" in UTC; empty stays empty.
std::string displayTime(const std::string& secondsSinceEpoch);

} // namespace Dbscout::Molb
