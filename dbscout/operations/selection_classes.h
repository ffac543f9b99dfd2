#pragma once
// Which of the selected result rows each object operation may act on. The lists point at the
// rows they were given and copy nothing; they live as long as those rows stay unchanged.

#include "document/result_page.h"

#include <string>
#include <vector>

namespace Dbscout {

enum class CheckOperation { CheckIn, CheckOut, UndoCheckOut };

struct SelectionClasses
{
    std::vector<const ResultRow*> checkedOutByUser; // writable, checked out by this user
    std::vector<const ResultRow*> freeRows;         // writable, checked out by nobody
    std::vector<const ResultRow*> accessCandidates; // with a mode, checked out by nobody
};

// Sorts the selection (selected rows in list order, null for a row without row data, which ends
// the walk) into the three classes, in list order. Servers below version 2 have no operations:
// every class stays empty. userName is matched exactly, letter case included; an empty name
// owns no check-out.
SelectionClasses ClassifySelection(const std::vector<const ResultRow*>& selection,
                                   const std::string& userName, int serverVersion);

// The rows an operation applies to: checkedOutByUser for check in and undo, freeRows for check
// out.
const std::vector<const ResultRow*>& qualifyingRows(const SelectionClasses& classes,
                                                    CheckOperation operation);

// Whether rows covers the whole selection of selectedCount items (and that is not empty).
bool coversSelection(const std::vector<const ResultRow*>& rows, size_t selectedCount);

} // namespace Dbscout
