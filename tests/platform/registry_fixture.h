#pragma once
// A private, empty settings store for each test, and small helpers to write and read values.

#include "support/test_env.h"

#include "platform/registry_store.h"

#include <dbscout/registry.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace DbscoutTest {

struct StoredValue
{
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const StoredValue&) const = default;
};

class RegistryTest : public ::testing::Test
{
protected:
    RegistryTest() { Dbscout::resetRegistryForTests(); }
    ~RegistryTest() override { Dbscout::resetRegistryForTests(); }

    // Creates (or opens) path below root with full access; fails the test when it cannot.
    static Dbscout::RegKey createKey(HKEY root, const char* path);

    static LONG setValue(HKEY key, const char* name, DWORD type, const std::string& data);
    // setValue that must succeed.
    static void put(HKEY key, const char* name, DWORD type, const std::string& data)
    {
        EXPECT_EQ(setValue(key, name, type, data), ERROR_SUCCESS) << (name ? name : "(default)");
    }
    // The value as stored, or nothing when it cannot be read.
    static std::optional<StoredValue> value(HKEY key, const char* name);
    // Names in the order the store enumerates them.
    static std::vector<std::string> subkeysOf(HKEY key);
    static std::vector<std::string> valueNamesOf(HKEY key);
    static DWORD valueCount(HKEY key)
    {
        DWORD values = 0;
        EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        return values;
    }
    // The first answer of sql on a hive file as another process reads it now, or "cannot open".
    static std::string fileAnswer(const std::string& file, const char* sql);

    TestEnv m_env;
};

} // namespace DbscoutTest
