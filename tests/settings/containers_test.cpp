// Settings containers against a real settings store: limits, leftovers, appending loads, wrong
// types, missing subkeys, and the query history's keeping rules.

#include "settings/query_history.h"
#include "settings/table_layouts.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

class ContainersTest : public ::testing::Test
{
protected:
    DbscoutTest::TestEnv env;
    RegKey key;

    void SetUp() override
    {
        ASSERT_EQ(key.create(HKEY_CURRENT_USER, "Software\\Containers"), ERROR_SUCCESS);
    }

    bool hasValue(HKEY k, const char* name)
    {
        return RegQueryValueExA(k, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }
    void setRaw(HKEY k, const char* name, DWORD type, const std::string& bytes)
    {
        ASSERT_EQ(RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 DWORD(bytes.size())),
                  ERROR_SUCCESS);
    }
};

TEST_F(ContainersTest, saveLimitsAndLeavesOlderValuesBehind)
{
    CRegDWORDVector five;
    five.assign({10, 20, 30, 40, 50});
    ASSERT_TRUE(five.Save(key.get(), 0));
    DWORD size = 0;
    ASSERT_TRUE(readDword(key.get(), "size", size));
    EXPECT_EQ(size, 5u);

    ASSERT_TRUE(five.Save(key.get(), 3));
    ASSERT_TRUE(readDword(key.get(), "size", size));
    EXPECT_EQ(size, 3u);
    EXPECT_TRUE(hasValue(key.get(), "4")); // left from the longer save

    CRegDWORDVector loaded;
    loaded.push_back(7);
    ASSERT_TRUE(loaded.Load(key.get()));
    EXPECT_EQ(loaded, (std::vector<uint32_t>{7, 10, 20, 30})); // appended after what was there

    CRegDWORDVector all;
    ASSERT_TRUE(five.Save(key.get(), -1));
    ASSERT_TRUE(all.Load(key.get()));
    EXPECT_EQ(all.size(), 5u);
}

TEST_F(ContainersTest, stringListAcceptsOnlyTerminatedStrings)
{
    CRegStrList list;
    list.assign({"alpha", "", "gamma"});
    ASSERT_TRUE(list.Save(key.get(), 0));
    DWORD type = 0, bytes = 0;
    ASSERT_EQ(RegQueryValueExA(key.get(), "0", nullptr, &type, nullptr, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, 6u); // with its terminating NUL

    setRaw(key.get(), "1", REG_EXPAND_SZ, std::string("%HOME%\0", 7));
    setRaw(key.get(), "2", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
    CRegStrList loaded;
    ASSERT_TRUE(loaded.Load(key.get()));
    EXPECT_EQ(loaded, (std::vector<std::string>{"alpha", "%HOME%", "one"}));

    const struct
    {
        const char* what;
        DWORD type;
        std::string bytes;
    } bad[] = {
        {"no terminator", REG_SZ, "beta"},
        {"a number", REG_DWORD, std::string("\1\0\0\0", 4)},
        {"multi-string with one NUL", REG_MULTI_SZ, std::string("x\0", 2)},
        {"longer than the buffer", REG_SZ, std::string(32768, 'x') + '\0'},
    };
    for (const auto& c : bad) {
        setRaw(key.get(), "1", c.type, c.bytes);
        CRegStrList partial;
        EXPECT_FALSE(partial.Load(key.get())) << c.what;
        EXPECT_EQ(partial, (std::vector<std::string>{"alpha"})) << c.what;
    }
    setRaw(key.get(), "size", REG_SZ, std::string("2\0", 2)); // the size must be a number
    CRegStrList none;
    EXPECT_FALSE(none.Load(key.get()));
    EXPECT_TRUE(none.empty());
}

TEST_F(ContainersTest, tableSettingsRoundTripAndPartialLoads)
{
    CTableSettings settings;
    settings.assign({120, 80, 200});
    settings.Order.assign({2, 0, 1});
    settings.SortColumn = 1;
    settings.SortDirection = 1;
    ASSERT_TRUE(settings.Save(key.get(), 0));

    CTableSettings loaded;
    ASSERT_TRUE(loaded.Load(key.get()));
    EXPECT_EQ(static_cast<std::vector<uint32_t>&>(loaded), (std::vector<uint32_t>{120, 80, 200}));
    EXPECT_EQ(static_cast<std::vector<uint32_t>&>(loaded.Order), (std::vector<uint32_t>{2, 0, 1}));
    EXPECT_EQ(loaded.SortColumn, 1);
    EXPECT_EQ(loaded.SortDirection, 1u);

    ASSERT_EQ(RegDeleteValueA(key.get(), "SortColumn"), ERROR_SUCCESS);
    CTableSettings partial;
    EXPECT_FALSE(partial.Load(key.get()));
    EXPECT_EQ(partial.size(), 3u);
    EXPECT_EQ(partial.Order.size(), 3u);
    EXPECT_EQ(partial.SortColumn, -1);
}

TEST_F(ContainersTest, tableLayoutsLiveUnderTheSettingsKey)
{
    TableLayouts layouts;
    layouts["molb://local/demo/dnarna/"].assign({300, 90});
    layouts["molb://local/demo/dnarna/"].SortColumn = 0;
    layouts["molb://local/demo/protein/"]; // a first listing: defaults
    saveTableLayouts(key.get(), layouts);

    RegKey first;
    ASSERT_EQ(first.open(key.get(), "SCOUTPANE_UI\\TableSettings\\QUERY_HISTORY\\0"),
              ERROR_SUCCESS);
    std::string address;
    ASSERT_TRUE(readString(first.get(), nullptr, address));
    EXPECT_EQ(address, "molb://local/demo/dnarna/");
    DWORD width = 0;
    ASSERT_TRUE(readDword(first.get(), "1", width));
    EXPECT_EQ(width, 90u);

    TableLayouts loaded;
    loadTableLayouts(key.get(), loaded);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded["molb://local/demo/dnarna/"].SortColumn, 0);
    EXPECT_EQ(loaded["molb://local/demo/protein/"].SortColumn, -1);
    EXPECT_TRUE(loaded["molb://local/demo/protein/"].empty());

    loadTableLayouts(nullptr, loaded); // no settings key: nothing happens
    EXPECT_EQ(loaded.size(), 2u);
}

TEST_F(ContainersTest, queryHistoryKeepsMostRecentFirstWithoutRepeats)
{
    QueryHistory history;
    for (const char* query : {"a", "b", "a", "", "ABC", "abc"})
        recordQuery(history, "molb://x/db/", query);
    EXPECT_EQ(queriesOf(history, "molb://x/db/"),
              (std::vector<std::string>{"abc", "ABC", "a", "b"}));
    EXPECT_TRUE(queriesOf(history, "MOLB://x/db/").empty()); // addresses compare with case
    EXPECT_EQ(history.size(), 2u);                           // the look-up made an entry
}

TEST_F(ContainersTest, queryHistoryKeepsFifteenAcrossRuns)
{
    QueryHistory history;
    for (int i = 0; i < 20; ++i)
        recordQuery(history, "molb://x/db/", "q" + std::to_string(i));
    history["molb://x/empty/"];
    EXPECT_EQ(queriesOf(history, "molb://x/db/").size(), 20u);
    ASSERT_TRUE(history.Save(key.get(), kQueryHistoryKept));

    QueryHistory next;
    ASSERT_TRUE(next.Load(key.get()));
    const CRegStrList& kept = queriesOf(next, "molb://x/db/");
    ASSERT_EQ(kept.size(), 15u);
    EXPECT_EQ(kept.front(), "q19");
    EXPECT_EQ(kept.back(), "q5");
    ASSERT_TRUE(next.count("molb://x/empty/"));
    EXPECT_TRUE(next["molb://x/empty/"].empty());
}

TEST_F(ContainersTest, damagedHistoryLoadsTheEntriesBeforeTheDamage)
{
    QueryHistory history;
    recordQuery(history, "molb://a/", "x");
    recordQuery(history, "molb://b/", "y");
    recordQuery(history, "molb://c/", "z");
    ASSERT_TRUE(history.Save(key.get(), 15));
    ASSERT_EQ(RegDeleteTreeA(key.get(), "QUERY_HISTORY\\1"), ERROR_SUCCESS);

    QueryHistory loaded;
    EXPECT_FALSE(loaded.Load(key.get()));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.begin()->first, "molb://a/");

    RegKey map;
    ASSERT_EQ(map.open(key.get(), "QUERY_HISTORY", KEY_ALL_ACCESS), ERROR_SUCCESS);
    setRaw(map.get(), "size", REG_SZ, std::string("3\0", 2));
    QueryHistory none;
    EXPECT_FALSE(none.Load(key.get()));
    EXPECT_TRUE(none.empty());

    // A key loaded a second time stops the load.
    setRaw(map.get(), "size", REG_DWORD, std::string("\1\0\0\0", 4));
    ASSERT_TRUE(none.Load(key.get()));
    EXPECT_FALSE(none.Load(key.get()));
    EXPECT_EQ(none.size(), 1u);
}

} // namespace
