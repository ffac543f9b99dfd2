#pragma once
// The columns of an object row, named alike in every back end's schema, so that the SQL each
// back end builds from the fields reads the same columns.

#include "model/object_kind.h"

#include <string>

namespace Dbscout::Molb {

// The column of a field in table objects (alias "o" in every query).
const char* fieldColumn(Field field);

// Whether a field has a column of its own that a record fills: all but the name and the times.
bool isStoredField(Field field);

// The object columns a listing row reads, in ObjectRow order: id, owner, grp, mode,
// checkout_by (kRowLeadColumns of them), then one column per field.
inline constexpr int kRowLeadColumns = 5;
const std::string& objectRowColumns();

} // namespace Dbscout::Molb
