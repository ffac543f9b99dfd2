#include "model/object_kind.h"

#include <cstdlib>
#include <ctime>
#include <strings.h>

namespace Dbscout::Molb {
namespace {

constexpr KindColumn kDnaRna[] = {
    {"Name", Field::Name},         {"Accession", Field::Accession},
    {"Length", Field::Length},     {"Topology", Field::Topology},
    {"Organism", Field::Organism}, {"Description", Field::Description},
    {"Modified", Field::Modified}};
constexpr KindColumn kProtein[] = {{"Name", Field::Name},
                                   {"Accession", Field::Accession},
                                   {"Length", Field::Length},
                                   {"Organism", Field::Organism},
                                   {"Description", Field::Description},
                                   {"Modified", Field::Modified}};
// A citation's title is its description and its PMID its accession, so that word search and the
// accession index serve citations like sequences.
constexpr KindColumn kCitation[] = {{"Name", Field::Name},         {"Authors", Field::Authors},
                                    {"Title", Field::Description}, {"Journal", Field::Journal},
                                    {"Year", Field::Year},         {"PMID", Field::Accession}};
// The query definition of a BLAST run is its description, for the same reason.
constexpr KindColumn kBlast[] = {{"Name", Field::Name},         {"Program", Field::Program},
                                 {"Query", Field::Description}, {"Database", Field::Database},
                                 {"Hits", Field::Hits},         {"Date", Field::RunDate}};
constexpr KindColumn kAnalysis[] = {{"Name", Field::Name},
                                    {"Type", Field::AnalysisType},
                                    {"Source", Field::Source},
                                    {"Created", Field::Created}};

} // namespace

std::optional<Kind> kindFromKeyword(std::string_view keyword)
{
    for (Kind kind : kAllKinds) {
        if (keyword == kindKeyword(kind))
            return kind;
    }
    return std::nullopt;
}

const char* kindKeyword(Kind kind)
{
    switch (kind) {
    case Kind::DnaRna:
        return "dnarna";
    case Kind::Protein:
        return "protein";
    case Kind::Citation:
        return "citation";
    case Kind::Blast:
        return "blast";
    case Kind::Analysis:
        return "analysis";
    }
    return "";
}

std::span<const KindColumn> kindColumns(Kind kind)
{
    switch (kind) {
    case Kind::DnaRna:
        return kDnaRna;
    case Kind::Protein:
        return kProtein;
    case Kind::Citation:
        return kCitation;
    case Kind::Blast:
        return kBlast;
    case Kind::Analysis:
        return kAnalysis;
    }
    return {};
}

std::optional<Field> fieldForFilter(Kind kind, std::string_view header)
{
    for (const KindColumn& column : kindColumns(kind)) {
        std::string_view name = column.header;
        if (name.size() == header.size() &&
            strncasecmp(name.data(), header.data(), header.size()) == 0)
            return column.field;
    }
    // Accession is searchable in every kind, also where the listing does not show it.
    if (header.size() == 9 && strncasecmp(header.data(), "accession", 9) == 0)
        return Field::Accession;
    return std::nullopt;
}

bool isNumericField(Field field)
{
    return field == Field::Length || field == Field::Hits;
}

bool isTimeField(Field field)
{
    return field == Field::Modified || field == Field::Created;
}

std::string displayTime(const std::string& secondsSinceEpoch)
{
    if (secondsSinceEpoch.empty())
        return {};
    const time_t seconds = std::strtoll(secondsSinceEpoch.c_str(), nullptr, 10);
    struct tm parts = {};
    if (!gmtime_r(&seconds, &parts))
        return {};
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return text;
}

} // namespace Dbscout::Molb
