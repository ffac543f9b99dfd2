// Keys and values of one hive: names, buffers, counts, enumeration, deletion, and the handles
// that may not do what they are asked. Exact bytes of every type across processes are the
// export and import round trip of dbscout-reg's test.

#include "platform/registry_fixture.h"

#include <cstring>

using namespace DbscoutTest;
using Dbscout::RegKey;
using std::string_literals::operator""s;

namespace {

std::vector<DWORD> counts(HKEY key)
{
    DWORD n[5] = {};
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &n[0], &n[1], nullptr, &n[2], &n[3],
                               &n[4], nullptr, nullptr),
              ERROR_SUCCESS);
    return {n, n + 5}; // subkeys, longest subkey name, values, longest value name, largest data
}

} // namespace

TEST_F(RegistryTest, namesIgnoreAsciiCaseAndKeepTheSpellingFirstWritten)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\MixedCase");
    for (const char* name : {"FontTable", "FONTTABLE", "\xc3\x84", "\xc3\xa4"})
        put(key.get(), name, REG_SZ, name);
    RegKey again;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\mixedcase", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, again.out(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(value(again.get(), "fonttable"), (StoredValue{REG_SZ, "FONTTABLE"}));
    // Only ASCII letters fold: other characters are different names.
    EXPECT_EQ(valueNamesOf(again.get()),
              (std::vector<std::string>{"FontTable", "\xc3\x84", "\xc3\xa4"}));
    EXPECT_EQ(subkeysOf(createKey(HKEY_CURRENT_USER, "software").get()),
              std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryTest, shortBufferAnswersMoreDataWithTheNeededSize)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Sizes");
    put(key.get(), "path", REG_EXPAND_SZ, "0123456789\0"s);
    BYTE buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    DWORD type = REG_NONE, size = 4;
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(type, REG_EXPAND_SZ);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 12), "0123456789\0#"s);
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key.get(), "missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, countsAndEnumerationInOrderEndingWithNoMoreItems)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Enum");
    for (const char* name : {"beta", "Alpha", "gamma", "Delta\\deeper\\still"})
        createKey(key.get(), name);
    for (const char* name : {"z", "the longest value name", "x"})
        put(key.get(), name, REG_SZ, "v");
    put(key.get(), "z", REG_BINARY, std::string(300, 'z')); // rewritten keeps its place
    EXPECT_EQ(counts(key.get()), (std::vector<DWORD>{4, 5, 3, 22, 300}));
    // Subkeys in name order without regard to case.
    EXPECT_EQ(subkeysOf(key.get()), (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));

    char name[8];
    DWORD size = 5; // "Alpha" needs six with its NUL
    EXPECT_EQ(RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    size = 6;
    EXPECT_EQ(RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(RegEnumKeyExA(key.get(), 4, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    BYTE data[4];
    DWORD dataSize = sizeof data;
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key.get(), 0, name, &size, nullptr, nullptr, data, &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 300u);
    size = 1; // "x" needs two
    EXPECT_EQ(RegEnumValueA(key.get(), 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key.get(), 3, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, deleteKeyTakesOnlyLeavesAndDeleteTreeTakesEverything)
{
    RegKey root = createKey(HKEY_CURRENT_USER, "Software\\Tree");
    createKey(root.get(), "branch\\leaf\\deep");
    RegKey other = createKey(root.get(), "other");
    put(other.get(), "kept", REG_SZ, "yes");
    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch\\leaf\\deep"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch\\leaf\\deep"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTreeA(root.get(), "BRANCH"), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(root.get()), std::vector<std::string>{"other"});

    // Without a subkey the key's contents go and the key stays.
    put(root.get(), "own", REG_SZ, "v");
    EXPECT_EQ(RegDeleteTreeA(root.get(), nullptr), ERROR_SUCCESS);
    EXPECT_EQ(counts(root.get()), (std::vector<DWORD>{0, 0, 0, 0, 0}));
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED); // the hive's root
}

TEST_F(RegistryTest, readOnlyAndDeletedHandlesChangeNothing)
{
    RegKey writable = createKey(HKEY_CURRENT_USER, "Software\\Locked\\child");
    put(writable.get(), "v", REG_SZ, "old");
    RegKey key, child, created, noQuery;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Locked", KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(child.open(key.get(), "child", KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(setValue(child.get(), "v", REG_SZ, "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(child.get(), "v"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(key.get(), "child"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(key.get(), nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(created.create(key.get(), "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(created.create(key.get(), "child", KEY_READ), ERROR_SUCCESS); // exists: opens it
    EXPECT_EQ(value(child.get(), "v"), (StoredValue{REG_SZ, "old"}));
    ASSERT_EQ(noQuery.open(HKEY_CURRENT_USER, "Software\\Locked", KEY_SET_VALUE), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(noQuery.get(), "v", nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);

    // A handle whose key was deleted, even with a new key by the same name in its place.
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Locked"), ERROR_SUCCESS);
    createKey(HKEY_CURRENT_USER, "Software\\Locked\\child");
    EXPECT_EQ(RegQueryValueExA(writable.get(), "v", nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);
    EXPECT_EQ(setValue(writable.get(), "v", REG_SZ, "y"), ERROR_KEY_DELETED);
    EXPECT_EQ(created.create(writable.get(), "child"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(writable.release()), ERROR_SUCCESS);
}

TEST_F(RegistryTest, badHandlesAndArgumentsAreRefused)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Args", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(setValue(key, "v", REG_SZ, "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(uintptr_t(0xdeadbeef))), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS); // predefined hives stay open

    const std::string tooLong = "Software\\" + std::string(256, 'k');
    const std::pair<std::string, LONG> paths[] = {
        {"Software\\\\Args", ERROR_INVALID_PARAMETER},
        {"\\Software", ERROR_INVALID_PARAMETER},
        {tooLong, ERROR_INVALID_PARAMETER},
        {"Software\\Args\\", ERROR_SUCCESS},
        {"Software\\Missing", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& [path, result] : paths) {
        RegKey opened;
        EXPECT_EQ(opened.open(HKEY_CURRENT_USER, path.c_str()), result) << path;
        EXPECT_EQ(bool(opened), result == ERROR_SUCCESS) << path;
    }
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "v", 0, REG_SZ, nullptr, 4),
              ERROR_INVALID_PARAMETER);
}
