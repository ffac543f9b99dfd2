// The pure rules below the operations, for the inputs the panel's tests cannot produce: odd and
// short modes, rows without data, no user name, server version 2.

#include "operations/access_modes.h"
#include "operations/selection_classes.h"
#include "resources/ids.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ResultRow Row(const std::string& id, const std::string& mode, const std::string& checkoutBy = "",
              bool writable = true)
{
    ResultRow row;
    row.id = id;
    row.name = "obj" + id;
    row.mode = mode;
    row.checkoutBy = checkoutBy;
    row.writable = writable;
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

TEST(AccessModes, modesMergeClassByClassAndOddOrShortModesBecomeMixed)
{
    const struct
    {
        std::vector<std::string> modes;
        const char* request;
    } cases[] = {{{}, "***"},
                 {{"r"}, "r**"},
                 {{"rwx"}, "rw*"},
                 {{"rw-", "w"}, "***"},
                 {{"rw-extra"}, "rw-"},
                 {{"-x-", "-r-"}, "-*-"},
                 {{"rwr", "rwr"}, "rwr"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        AccessLevels levels;
        for (const std::string& mode : c.modes)
            mergeMode(mode, levels);
        EXPECT_EQ(buildModeString(levels), c.request);
    }
    EXPECT_EQ(buildModeString({kLevelNone, kLevelRead, 7}), "-r*");
}

TEST(AccessModes, selectionsWithoutRowDataAreRefusedWithoutAMessage)
{
    const ResultRow a = Row("12", "rw-"), noMode = Row("2", "");
    const std::vector<const ResultRow*> refusedSilently[] = {
        {}, {nullptr}, {&a, nullptr}, {nullptr, &noMode}};
    for (const auto& selection : refusedSilently) {
        ObjectModes none;
        EXPECT_FALSE(CollectObjectModes(selection, none));
        EXPECT_EQ(none.refusalId, 0);
    }
}

TEST(SelectionClasses, rowsAreSortedByWritabilityHolderAndMode)
{
    const ResultRow freeRow = Row("a", "rw-"), mine = Row("b", "rw-", "curator"),
                    others = Row("d", "", "reviewer"), readOnly = Row("e", "r--", "", false),
                    freeNoMode = Row("g", "");
    const std::vector<const ResultRow*> all = {&freeRow, &mine, &others, &readOnly, &freeNoMode};
    const struct
    {
        const char* what;
        std::vector<const ResultRow*> selection;
        std::string user;
        int version;
        const char *mine, *free, *access;
    } cases[] = {
        {"version 2 classifies", all, "curator", 2, "b", "ag", "ae"},
        {"without a user name nobody's rows are the user's", all, "", 3, "", "ag", "ae"},
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
    const SelectionClasses mineOnly = ClassifySelection({&mine, &mine}, "curator", 3);
    EXPECT_TRUE(coversSelection(qualifyingRows(mineOnly, CheckOperation::UndoCheckOut), 2));
    EXPECT_FALSE(coversSelection(qualifyingRows(mineOnly, CheckOperation::CheckOut), 2));
    EXPECT_FALSE(coversSelection({}, 0)); // an empty selection qualifies for nothing
}
