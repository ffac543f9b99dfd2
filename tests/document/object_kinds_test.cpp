// The table of object kinds: which kinds a panel's data type lets through, and what a page title
// that names no kind gives.

#include "document/object_kinds.h"
#include "resources/image_index.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Dbscout;

namespace {

// 0 takes every kind, -1 only DNA/RNA and protein, a positive code only its own kind, and any
// other data type (a negative one past -1, an unknown code) nothing, the unknown kind included.
TEST(ObjectKinds, dataTypeLetsThroughItsOwnKindsOnly)
{
    const struct
    {
        int dataType;
        const char* accepted; // keywords, in table order, each followed by a blank
    } cases[] = {
        {KindCode::Any, "dnarna protein blast citation analysis "},
        {KindCode::DnaRnaOrProtein, "dnarna protein "},
        {KindCode::Protein, "protein "},
        {KindCode::Citation, "citation "},
        {-2, ""},
        {3, ""},
    };
    for (const auto& c : cases) {
        std::string accepted;
        for (const ObjectKind& kind : objectKinds())
            if (dataTypeAccepts(c.dataType, kind.code))
                accepted += std::string(kind.keyword) + ' ';
        EXPECT_EQ(accepted, c.accepted) << "data type " << c.dataType;
        EXPECT_EQ(dataTypeAccepts(c.dataType, KindCode::Unknown), c.dataType == KindCode::Any)
            << "data type " << c.dataType;
    }
}

// Titles are matched exactly: one in other letters, padded or empty is of no kind, listed with
// the image of an unknown object; each kind's page title leads to its code and back.
TEST(ObjectKinds, titlesMatchExactlyAndLeadToTheirKind)
{
    for (const char* title : {"", "DNARNA", " protein", "subset", "dnarna/"}) {
        EXPECT_EQ(kindCodeOfTitle(title), KindCode::Unknown) << title;
        EXPECT_EQ(rowImageOfTitle(title), ImageIndex::Address) << title;
    }
    const std::pair<const char*, int> titles[] = {
        {"dnarna", 1}, {"protein", 2}, {"citation", 14}, {"blast", 15}, {"analysis", 17}};
    for (const auto& [title, code] : titles) {
        EXPECT_EQ(kindCodeOfTitle(title), code) << title;
        ASSERT_NE(kindOfCode(code), nullptr) << code;
        EXPECT_STREQ(kindOfCode(code)->keyword, title);
        EXPECT_NE(rowImageOfTitle(title), ImageIndex::Address) << title;
    }
    EXPECT_EQ(kindOfCode(KindCode::DnaRnaOrProtein), nullptr);
    EXPECT_EQ(kindOfCode(KindCode::Any), nullptr);
}

// An address ending in a path segment gets a '/' before the keyword, one ending in '/' or ':'
// only the keyword; a '/' always follows it. A code of no kind leaves the address alone.
TEST(ObjectKinds, appendKindPathSeparatesTheKeywordOnlyWhereNeeded)
{
    const std::tuple<const char*, int, const char*> cases[] = {
        {"molb://h/db", KindCode::DnaRna, "molb://h/db/dnarna/"},
        {"molb://h/db/", KindCode::Protein, "molb://h/db/protein/"},
        {"ncbi:", KindCode::Blast, "ncbi:blast/"},
        {"x:/", KindCode::Citation, "x:/citation/"},
        {"", KindCode::Analysis, "/analysis/"},
        {"molb://h/db", KindCode::Any, "molb://h/db"},
        {"molb://h/db", KindCode::DnaRnaOrProtein, "molb://h/db"},
    };
    for (const auto& [address, code, expected] : cases) {
        std::string url = address;
        AppendKindPath(url, code);
        EXPECT_EQ(url, expected) << address << " + " << code;
    }
}

} // namespace
