#include "operations/selection_classes.h"

namespace Dbscout {

SelectionClasses ClassifySelection(const std::vector<const ResultRow*>& selection,
                                   const std::string& userName, int serverVersion)
{
    SelectionClasses classes;
    if (serverVersion < 2)
        return classes;
    for (const ResultRow* row : selection) {
        if (!row)
            break;
        if (row->writable) {
            if (row->checkoutBy.empty())
                classes.freeRows.push_back(row);
            else if (!userName.empty() && userName == row->checkoutBy)
                classes.checkedOutByUser.push_back(row);
        }
        if (!row->mode.empty() && row->checkoutBy.empty())
            classes.accessCandidates.push_back(row);
    }
    return classes;
}

const std::vector<const ResultRow*>& qualifyingRows(const SelectionClasses& classes,
                                                    CheckOperation operation)
{
    return operation == CheckOperation::CheckOut ? classes.freeRows : classes.checkedOutByUser;
}

bool coversSelection(const std::vector<const ResultRow*>& rows, size_t selectedCount)
{
    return selectedCount > 0 && rows.size() == selectedCount;
}

} // namespace Dbscout
