// The string table answers every id with the exact text users and other parts rely on.

#include "resources/strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using Dbscout::LoadString;

struct Entry
{
    int id;
    const char* text;
};

// The table as the product has always shipped it, misspellings included.
const Entry messages[] = {
    {6951, "MOLB registered protocol not found"},
    {6954, "Unknown error"},
    {6955, "MOLB protocol error"},
    {6956, "%d objects were found. The first object # is %d, page size: %d"},
    {6957, "Wrong data type."},
    {6958, "Dbscout error"},
    {6960, "NCBI registered protocol not found"},
    {6961, "Please enter a Subset/Query and press \"Go\""},
    {6962, "Privelage Denied:  Cannot change permissions to selected objects."},
    {6963, "Access rights to the object(s): "},
    {6964, "Access rights to the subset: "},
    {6965, "Set access rights to the seleted objects.\n"},
    {6966, "You cannot change permissions for the checked out objects."},
    {6967, "Set access rights for the current subset.\n"},
    {6968, "Error:  Comment too long."},
    {6977, "%d objects found in the results."},
    {6982, "Error uloading data."},
    {6983, "The \"MAIN\" is reserved subset name."},
};

// Prompts stand under their command ids, the text repeated with "/n" between the copies.
const Entry prompts[] = {
    {6971, "Reload content of the dialog"},
    {6972, "Stop downloading"},
    {6973, "Go to the previous page"},
    {6974, "Go to the next page"},
    {6976, "Go to the dialog setup the page size and the number of first item"},
    {6981, "Additional functions"},
};

TEST(StringTable, everyMessageHasItsExactText)
{
    for (const Entry& entry : messages)
        EXPECT_EQ(LoadString(entry.id), entry.text) << "id " << entry.id;
}

TEST(StringTable, everyPromptRepeatsItsTextSeparatedBySlashN)
{
    for (const Entry& entry : prompts) {
        const std::string text = LoadString(entry.id);
        const std::string copy = entry.text;
        int copies = 0;
        for (size_t start = 0;; ++copies) {
            const size_t end = text.find("/n", start);
            EXPECT_EQ(text.substr(start, end - start), copy) << "id " << entry.id;
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
        EXPECT_GE(copies + 1, 2) << "id " << entry.id;
        EXPECT_LE(copies + 1, 3) << "id " << entry.id;
    }
}

TEST(StringTable, idsWithoutTextGiveAnEmptyString)
{
    // Neighbours of real entries, the gap 6975, command ids that have no prompt, and nonsense.
    for (int id : {0, -1, 1, 2, 6950, 6952, 6959, 6969, 6970, 6975, 6978, 6984, 6999, 7000, INT_MIN,
                   INT_MAX})
        EXPECT_EQ(LoadString(id), "") << "id " << id;
}

} // namespace
