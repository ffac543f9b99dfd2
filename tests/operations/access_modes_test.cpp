// Merging access modes of several objects, the request's mode string, and the checks that
// refuse a change of access.

#include "operations/access_modes.h"
#include "resources/ids.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ResultRow Row(const std::string& id, const std::string& mode, const std::string& checkoutBy = "")
{
    ResultRow row;
    row.id = id;
    row.name = "obj" + id;
    row.mode = mode;
    row.checkoutBy = checkoutBy;
    return row;
}

} // namespace

TEST(AccessModes, mergingCharactersAgreesOrBecomesMixedForGood)
{
    const struct
    {
        const char* chars;
        int level;
    } cases[] = {
        {"", kLevelUnmerged}, {"-", kLevelNone},    {"r", kLevelRead},   {"w", kLevelFull},
        {"rr", kLevelRead},   {"ww", kLevelFull},   {"rw", kLevelMixed}, {"rwr", kLevelMixed},
        {"r-r", kLevelMixed}, {"x", kLevelMixed},   {"R", kLevelMixed},  {"*", kLevelMixed},
        {"xx", kLevelMixed},  {"-x-", kLevelMixed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chars);
        int level = kLevelUnmerged;
        for (const char* p = c.chars; *p; ++p)
            MergeModeChar(level, *p);
        EXPECT_EQ(level, c.level);
    }
}

TEST(AccessModes, modesMergeClassByClassAndShortModesLeaveClassesUnknown)
{
    const struct
    {
        std::vector<std::string> modes;
        AccessLevels levels;
        const char* request;
    } cases[] = {
        {{"rw-", "rr-"}, {kLevelRead, kLevelMixed, kLevelNone}, "r*-"},
        {{"wr-"}, {kLevelFull, kLevelRead, kLevelNone}, "wr-"},
        {{"w--"}, {kLevelFull, kLevelNone, kLevelNone}, "w--"},
        {{"r"}, {kLevelRead, kLevelMixed, kLevelMixed}, "r**"},
        {{"rwx"}, {kLevelRead, kLevelFull, kLevelMixed}, "rw*"},
        {{"rw-", "w"}, {kLevelMixed, kLevelMixed, kLevelMixed}, "***"},
        {{"rwr", "rwr", "rwr"}, {kLevelRead, kLevelFull, kLevelRead}, "rwr"},
        {{"rw-extra"}, {kLevelRead, kLevelFull, kLevelNone}, "rw-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        AccessLevels levels;
        for (const std::string& mode : c.modes)
            MergeMode(mode, levels);
        EXPECT_EQ(levels.owner, c.levels.owner);
        EXPECT_EQ(levels.group, c.levels.group);
        EXPECT_EQ(levels.other, c.levels.other);
        EXPECT_EQ(BuildModeString(levels), c.request);
    }
}

TEST(AccessModes, modeStringMarksEveryClassWithoutChoiceAsUnchanged)
{
    EXPECT_EQ(BuildModeString({kLevelUnmerged, kLevelUnmerged, kLevelUnmerged}), "***");
    EXPECT_EQ(BuildModeString({kLevelNone, kLevelRead, kLevelFull}), "-rw");
    EXPECT_EQ(BuildModeString({kLevelFull, kLevelMixed, 7}), "w**");
}

TEST(AccessModes, collectingJoinsIdsAndNamesTheFirstObject)
{
    const ResultRow a = Row("12", "rw-"), b = Row("15", "rr-"), c = Row("7", "rr-");
    ObjectModes modes;
    ASSERT_TRUE(CollectObjectModes({&a, &b, &c}, modes));
    EXPECT_EQ(modes.objectPath, "12,15,7");
    EXPECT_EQ(modes.displayName, "obj12...");
    EXPECT_EQ(BuildModeString(modes.levels), "r*-");
    EXPECT_EQ(modes.refusalId, 0);

    ASSERT_TRUE(CollectObjectModes({&b}, modes));
    EXPECT_EQ(modes.objectPath, "15");
    EXPECT_EQ(modes.displayName, "obj15");
    EXPECT_EQ(BuildModeString(modes.levels), "rr-");
}

TEST(AccessModes, theFirstOffendingRowDecidesTheRefusal)
{
    const ResultRow good = Row("1", "rw-"), noMode = Row("2", ""),
                    checkedOut = Row("3", "rw-", "curator");
    const struct
    {
        const char* what;
        std::vector<const ResultRow*> selection;
        int refusalId;
    } cases[] = {
        {"nothing selected", {}, 0},
        {"a row without data", {nullptr}, 0},
        {"a row without data after a good one", {&good, nullptr}, 0},
        {"no mode, then checked out", {&good, &noMode, &checkedOut}, IDS_PERMISSION_DENIED},
        {"checked out, then no mode", {&checkedOut, &noMode}, IDS_CHECKED_OUT_ACCESS_DENIED},
        {"a row without data before an offender", {nullptr, &noMode}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectModes modes;
        EXPECT_FALSE(CollectObjectModes(c.selection, modes));
        EXPECT_EQ(modes.refusalId, c.refusalId);
    }
}
