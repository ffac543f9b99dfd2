#include "model/object_columns.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kFieldColumns[kFieldCount] = {
    "name",     "accession",     "length", "topology", "organism", "description",
    "authors",  "journal",       "year",   "program",  "dbname",   "hits",
    "run_date", "analysis_type", "source", "modified", "created"};

} // namespace

const char* fieldColumn(Field field)
{
    return kFieldColumns[static_cast<size_t>(field)];
}

bool isStoredField(Field field)
{
    return field != Field::Name && field != Field::Modified && field != Field::Created;
}

const std::string& objectRowColumns()
{
    static const std::string columns = [] {
        std::string text = "o.id, o.owner, o.grp, o.mode, o.checkout_by";
        for (const char* column : kFieldColumns)
            text += std::string(", o.") + column;
        return text;
    }();
    return columns;
}

} // namespace Dbscout::Molb
