// The string table: prompts stand under their command ids as their text repeated with "/n"
// between the copies, and ids without text give an empty string.

#include "resources/strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using Dbscout::LoadString;

TEST(StringTable, everyPromptRepeatsItsTextSeparatedBySlashN)
{
    for (int id : {6971, 6972, 6973, 6974, 6976, 6981}) {
        const std::string text = LoadString(id);
        const size_t end = text.find("/n");
        ASSERT_NE(end, std::string::npos) << "id " << id;
        const std::string copy = text.substr(0, end);
        EXPECT_FALSE(copy.empty()) << "id " << id;
        EXPECT_TRUE(text == copy + "/n" + copy || text == copy + "/n" + copy + "/n" + copy)
            << "id " << id << ": " << text;
    }
}

TEST(StringTable, idsWithoutTextGiveAnEmptyString)
{
    // Neighbours of real entries, the gap 6975, command ids that have no prompt, and nonsense.
    for (int id : {-1, 6959, 6970, 6975, 6978, INT_MAX})
        EXPECT_EQ(LoadString(id), "") << "id " << id;
}
