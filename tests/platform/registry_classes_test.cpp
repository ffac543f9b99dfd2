// HKEY_CLASSES_ROOT: the user's Software\Classes over the machine's, changes to the user's.

#include "platform/registry_fixture.h"

using namespace DbscoutTest;
using Dbscout::RegKey;
using std::string_literals::operator""s;

namespace {

bool exists(HKEY root, const char* path)
{
    RegKey key;
    return key.open(root, path) == ERROR_SUCCESS;
}

} // namespace

TEST_F(RegistryTest, classesReadAndEnumerateTheUsersKeysOverTheMachines)
{
    RegKey machine = createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\dir\\command");
    put(machine.get(), nullptr, REG_SZ, "\"/usr/bin/machine\" \"%1\"\0"s);
    put(machine.get(), "machine only", REG_DWORD, "\1\0\0\0"s);
    RegKey classes;
    ASSERT_EQ(classes.open(HKEY_CLASSES_ROOT, "molb\\shell\\dir\\command"), ERROR_SUCCESS);
    EXPECT_EQ(value(classes.get(), nullptr),
              (StoredValue{REG_SZ, "\"/usr/bin/machine\" \"%1\"\0"s}));

    // A per-user registration wins from then on, through the key already open.
    RegKey user = createKey(HKEY_CURRENT_USER, "Software\\Classes\\MOLB\\Shell\\Dir\\Command");
    put(user.get(), nullptr, REG_SZ, "\"/home/me/handler\" \"%1\"\0"s);
    EXPECT_EQ(value(classes.get(), nullptr),
              (StoredValue{REG_SZ, "\"/home/me/handler\" \"%1\"\0"s}));
    EXPECT_EQ(value(classes.get(), "Machine Only"), (StoredValue{REG_DWORD, "\1\0\0\0"s}));
    EXPECT_EQ(valueNamesOf(classes.get()).size(), 2u); // the default value counts once

    // Subkeys are the union, with the user's spelling.
    createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\put");
    createKey(HKEY_CURRENT_USER, "Software\\Classes\\molb\\shell\\open");
    RegKey shell, root;
    ASSERT_EQ(shell.open(HKEY_CLASSES_ROOT, "molb\\shell"), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(shell.get()), (std::vector<std::string>{"Dir", "open", "put"}));
    ASSERT_EQ(root.open(HKEY_CLASSES_ROOT, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(root.get()), std::vector<std::string>{"MOLB"});
}

TEST_F(RegistryTest, classesWriteToTheUsersHiveOnlyAndCannotDeleteTheMachines)
{
    RegKey machine = createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\ncbi\\shell");
    put(machine.get(), "v", REG_SZ, "m");
    RegKey shell, created;
    ASSERT_EQ(shell.open(HKEY_CLASSES_ROOT, "ncbi\\shell", KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(shell.get(), "v"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "ncbi"), ERROR_ACCESS_DENIED);
    put(shell.get(), "written", REG_SZ, "here\0"s);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(shell.get(), "dir\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              created.out(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(exists(HKEY_CURRENT_USER, "Software\\Classes\\ncbi\\shell\\dir\\command"));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, "Software\\Classes\\ncbi\\shell\\dir"));
    EXPECT_FALSE(value(machine.get(), "written"));

    // The user's override can be deleted, and the machine's value shows again.
    put(shell.get(), "v", REG_SZ, "u");
    EXPECT_EQ(value(shell.get(), "v"), (StoredValue{REG_SZ, "u"}));
    EXPECT_EQ(RegDeleteValueA(shell.get(), "v"), ERROR_SUCCESS);
    EXPECT_EQ(value(shell.get(), "v"), (StoredValue{REG_SZ, "m"}));
    EXPECT_EQ(RegDeleteValueA(shell.get(), "missing"), ERROR_FILE_NOT_FOUND);

    // A key gone from both hives answers "deleted".
    RegKey temp;
    createKey(HKEY_CURRENT_USER, "Software\\Classes\\temp");
    ASSERT_EQ(temp.open(HKEY_CLASSES_ROOT, "temp"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\temp"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(temp.get(), nullptr, nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, "temp"));
}
