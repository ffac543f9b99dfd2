// Sorting the selection into the rows each check operation and the access change may act on.

#include "operations/selection_classes.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ResultRow Row(const std::string& id, bool writable, const std::string& checkoutBy,
              const std::string& mode)
{
    ResultRow row;
    row.id = id;
    row.writable = writable;
    row.checkoutBy = checkoutBy;
    row.mode = mode;
    return row;
}

std::string Ids(const std::vector<const ResultRow*>& rows)
{
    std::string ids;
    for (const ResultRow* row : rows)
        ids += row->id;
    return ids;
}

} // namespace

TEST(SelectionClasses, rowsAreSortedByWritabilityHolderAndMode)
{
    const ResultRow freeRow = Row("a", true, "", "rw-");
    const ResultRow mine = Row("b", true, "curator", "rw-");
    const ResultRow otherCase = Row("c", true, "Curator", "rw-");
    const ResultRow others = Row("d", true, "reviewer", "");
    const ResultRow readOnly = Row("e", false, "", "r--");
    const ResultRow readOnlyMine = Row("f", false, "curator", "r--");
    const ResultRow freeNoMode = Row("g", true, "", "");
    const std::vector<const ResultRow*> all = {&freeRow,  &mine,         &otherCase, &others,
                                               &readOnly, &readOnlyMine, &freeNoMode};
    const struct
    {
        const char* what;
        std::vector<const ResultRow*> selection;
        std::string user;
        int version;
        const char* mine;
        const char* free;
        const char* access;
    } cases[] = {
        {"every kind of row", all, "curator", 3, "b", "ag", "ae"},
        {"version 2 classifies too", all, "curator", 2, "b", "ag", "ae"},
        {"version 1 has no operations", all, "curator", 1, "", "", ""},
        {"without a user name nobody's rows are the user's", all, "", 3, "", "ag", "ae"},
        {"letter case matters", all, "Curator", 3, "c", "ag", "ae"},
        {"a row without data ends the walk", {&mine, nullptr, &freeRow}, "curator", 3, "b", "", ""},
        {"list order is kept", {&freeNoMode, &freeRow}, "curator", 3, "", "ga", "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SelectionClasses classes = ClassifySelection(c.selection, c.user, c.version);
        EXPECT_EQ(Ids(classes.checkedOutByUser), c.mine);
        EXPECT_EQ(Ids(classes.freeRows), c.free);
        EXPECT_EQ(Ids(classes.accessCandidates), c.access);
    }
}

TEST(SelectionClasses, anOperationAppliesOnlyToAWhollyQualifyingSelection)
{
    const ResultRow freeRow = Row("a", true, "", "rw-");
    const ResultRow mine = Row("b", true, "curator", "rw-");
    const SelectionClasses mixed = ClassifySelection({&freeRow, &mine}, "curator", 3);
    for (CheckOperation op :
         {CheckOperation::CheckIn, CheckOperation::CheckOut, CheckOperation::UndoCheckOut})
        EXPECT_FALSE(CoversSelection(QualifyingRows(mixed, op), 2));

    const SelectionClasses mineOnly = ClassifySelection({&mine, &mine}, "curator", 3);
    EXPECT_TRUE(CoversSelection(QualifyingRows(mineOnly, CheckOperation::CheckIn), 2));
    EXPECT_TRUE(CoversSelection(QualifyingRows(mineOnly, CheckOperation::UndoCheckOut), 2));
    EXPECT_FALSE(CoversSelection(QualifyingRows(mineOnly, CheckOperation::CheckOut), 2));
    EXPECT_FALSE(CoversSelection({}, 0)); // an empty selection qualifies for nothing
}
