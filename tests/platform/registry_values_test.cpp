// Keys and values of one hive: exact bytes, names, buffers, counts, enumeration, deletion.

#include "platform/registry_fixture.h"

#include <cstring>
#include <vector>

using namespace DbscoutTest;
using Dbscout::RegKey;

namespace {

using std::string_literals::operator""s;

struct TypedCase
{
    const char* name;
    DWORD type;
    std::string data;
};

} // namespace

TEST_F(RegistryTest, valuesKeepTheirTypeAndExactBytesAcrossReopening)
{
    const std::vector<TypedCase> cases = {
        {"sz", REG_SZ, "Tahoma\0"s},
        {"sz without terminator", REG_SZ, "Tahoma"},
        {"empty sz", REG_SZ, ""},
        {"expand", REG_EXPAND_SZ, "%HOME%/fonts\0"s},
        {"multi", REG_MULTI_SZ, "first\0second\0\0"s},
        {"dword", REG_DWORD, "\x1f\0\0\0"s},
        {"binary", REG_BINARY, "\0\xff\x01\0\x80"s},
        {"none", REG_NONE, ""},
        {"utf8 text", REG_SZ, "Gr\xc3\xbc\xc3\x9f\0"s},
    };
    {
        RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Types");
        for (const TypedCase& c : cases)
            ASSERT_EQ(setValue(key.get(), c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
    }
    Dbscout::ResetRegistryForTests(); // read back from the file, not from a connection
    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Types"), ERROR_SUCCESS);
    for (const TypedCase& c : cases)
        EXPECT_EQ(value(key.get(), c.name), (StoredValue{c.type, c.data})) << c.name;
}

TEST_F(RegistryTest, namesIgnoreAsciiCaseAndKeepTheSpellingFirstWritten)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\MixedCase");
    ASSERT_EQ(setValue(key.get(), "FontTable", REG_SZ, "a"), ERROR_SUCCESS);
    ASSERT_EQ(setValue(key.get(), "FONTTABLE", REG_SZ, "b"), ERROR_SUCCESS);
    ASSERT_EQ(setValue(key.get(), "\xc3\x84", REG_SZ, "upper umlaut"), ERROR_SUCCESS);
    ASSERT_EQ(setValue(key.get(), "\xc3\xa4", REG_SZ, "lower umlaut"), ERROR_SUCCESS);

    RegKey again;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\mixedcase", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, again.out(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(value(again.get(), "fonttable"), (StoredValue{REG_SZ, "b"}));
    // Only ASCII letters fold: other characters are different names.
    EXPECT_EQ(valueNamesOf(again.get()),
              (std::vector<std::string>{"FontTable", "\xc3\x84", "\xc3\xa4"}));

    RegKey software;
    ASSERT_EQ(software.open(HKEY_CURRENT_USER, "software"), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(software.get()), std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryTest, defaultValueIsTheEmptyOrNullName)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Default");
    ASSERT_EQ(setValue(key.get(), nullptr, REG_SZ, "by null\0"s), ERROR_SUCCESS);
    EXPECT_EQ(value(key.get(), ""), (StoredValue{REG_SZ, "by null\0"s}));
    ASSERT_EQ(setValue(key.get(), "", REG_SZ, "by empty\0"s), ERROR_SUCCESS);
    EXPECT_EQ(value(key.get(), nullptr), (StoredValue{REG_SZ, "by empty\0"s}));
    EXPECT_EQ(valueNamesOf(key.get()), std::vector<std::string>{""});
}

TEST_F(RegistryTest, shortBufferAnswersMoreDataWithTheNeededSize)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Sizes");
    ASSERT_EQ(setValue(key.get(), "path", REG_EXPAND_SZ, "0123456789\0"s), ERROR_SUCCESS);

    BYTE buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    DWORD type = REG_NONE;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(type, REG_EXPAND_SZ);

    size = 0;
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 11u);

    size = 11;
    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 12), "0123456789\0#"s);

    EXPECT_EQ(RegQueryValueExA(key.get(), "path", nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key.get(), "missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, queryInfoReportsCountsAndLargestLengths)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Info");
    createKey(key.get(), "a");
    createKey(key.get(), "longest subkey");
    createKey(key.get(), "nested\\deeper\\still"); // only "nested" counts here
    ASSERT_EQ(setValue(key.get(), "x", REG_BINARY, std::string(300, 'z')), ERROR_SUCCESS);
    ASSERT_EQ(setValue(key.get(), "the longest value name", REG_DWORD, "\1\0\0\0"s), ERROR_SUCCESS);

    DWORD n[5] = {};
    ASSERT_EQ(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &n[0], &n[1], nullptr, &n[2],
                               &n[3], &n[4], nullptr, nullptr),
              ERROR_SUCCESS);
    // Subkeys, longest subkey name, values, longest value name, largest data.
    EXPECT_EQ(std::vector<DWORD>(n, n + 5), (std::vector<DWORD>{3, 14, 2, 22, 300}));
}

TEST_F(RegistryTest, enumerationIsOrderedAndEndsWithNoMoreItems)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Enum");
    for (const char* name : {"beta", "Alpha", "gamma", "Delta"})
        createKey(key.get(), name);
    for (const char* name : {"z", "y", "x"})
        ASSERT_EQ(setValue(key.get(), name, REG_SZ, "v"), ERROR_SUCCESS);
    ASSERT_EQ(setValue(key.get(), "y", REG_SZ, "rewritten keeps its place"), ERROR_SUCCESS);

    // Subkeys in name order without regard to case; values in the order first written.
    EXPECT_EQ(subkeysOf(key.get()), (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));
    EXPECT_EQ(valueNamesOf(key.get()), (std::vector<std::string>{"z", "y", "x"}));

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

    size = 1; // "z" needs two
    EXPECT_EQ(RegEnumValueA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    BYTE data[4];
    DWORD dataSize = sizeof data;
    DWORD type = REG_NONE;
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key.get(), 1, name, &size, nullptr, &type, data, &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, DWORD(std::strlen("rewritten keeps its place")));
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key.get(), 3, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, deleteKeyTakesOnlyLeavesAndDeleteTreeTakesEverything)
{
    RegKey root = createKey(HKEY_CURRENT_USER, "Software\\Tree");
    createKey(root.get(), "branch\\leaf\\deep");
    RegKey other = createKey(root.get(), "other");
    ASSERT_EQ(setValue(other.get(), "kept", REG_SZ, "yes"), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch\\leaf\\deep"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(root.get(), "branch\\leaf\\deep"), ERROR_FILE_NOT_FOUND);
    createKey(root.get(), "branch\\leaf\\deep");

    EXPECT_EQ(RegDeleteTreeA(root.get(), "BRANCH"), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(root.get()), std::vector<std::string>{"other"});
    EXPECT_EQ(value(other.get(), "kept"), (StoredValue{REG_SZ, "yes"}));
    EXPECT_EQ(RegDeleteTreeA(root.get(), "branch"), ERROR_FILE_NOT_FOUND);

    // Without a subkey the key's contents go and the key stays.
    ASSERT_EQ(setValue(root.get(), "own", REG_SZ, "v"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeA(root.get(), nullptr), ERROR_SUCCESS);
    DWORD subkeys = 1, values = 1;
    ASSERT_EQ(RegQueryInfoKeyA(root.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys + values, 0u);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED); // the hive's root
}

TEST_F(RegistryTest, readOnlyHandleChangesNothing)
{
    RegKey writable = createKey(HKEY_CURRENT_USER, "Software\\Locked\\child");
    ASSERT_EQ(setValue(writable.get(), "v", REG_SZ, "old"), ERROR_SUCCESS);
    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Locked", KEY_READ), ERROR_SUCCESS);
    RegKey child;
    ASSERT_EQ(child.open(key.get(), "child", KEY_READ), ERROR_SUCCESS);

    EXPECT_EQ(setValue(child.get(), "v", REG_SZ, "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(child.get(), "v"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(key.get(), "child"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(key.get(), nullptr), ERROR_ACCESS_DENIED);
    RegKey created;
    EXPECT_EQ(created.create(key.get(), "new"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(created.create(key.get(), "child", KEY_READ), ERROR_SUCCESS); // exists: opens it
    EXPECT_EQ(value(child.get(), "v"), (StoredValue{REG_SZ, "old"}));

    RegKey noQuery;
    ASSERT_EQ(noQuery.open(HKEY_CURRENT_USER, "Software\\Locked", KEY_SET_VALUE), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(noQuery.get(), "v", nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);
    char name[16];
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(noQuery.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, handleOfDeletedKeyAnswersKeyDeleted)
{
    RegKey stale = createKey(HKEY_CURRENT_USER, "Software\\Gone");
    ASSERT_EQ(setValue(stale.get(), "v", REG_SZ, "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Gone"), ERROR_SUCCESS);
    createKey(HKEY_CURRENT_USER, "Software\\Gone"); // a new key by the same name

    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(stale.get(), "v", nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);
    EXPECT_EQ(setValue(stale.get(), "v", REG_SZ, "y"), ERROR_KEY_DELETED);
    RegKey child;
    EXPECT_EQ(child.create(stale.get(), "child"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegQueryInfoKeyA(stale.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(stale.release()), ERROR_SUCCESS);
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

    const struct
    {
        const char* path;
        LONG result;
    } paths[] = {
        {"Software\\\\Args", ERROR_INVALID_PARAMETER},
        {"\\Software", ERROR_INVALID_PARAMETER},
        {"Software\\Args\\", ERROR_SUCCESS},
        {"Software\\Missing", ERROR_FILE_NOT_FOUND},
    };
    for (const auto& p : paths) {
        RegKey opened;
        EXPECT_EQ(opened.open(HKEY_CURRENT_USER, p.path), p.result) << p.path;
        EXPECT_EQ(bool(opened), p.result == ERROR_SUCCESS) << p.path;
    }
    const std::string tooLong = "Software\\" + std::string(256, 'k');
    RegKey opened;
    EXPECT_EQ(opened.create(HKEY_CURRENT_USER, tooLong.c_str()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "v", 0, REG_SZ, nullptr, 4),
              ERROR_INVALID_PARAMETER);
}
