// HKEY_CLASSES_ROOT: the user's Software\Classes over the machine's, changes to the user's.

#include "platform/registry_fixture.h"

#include <vector>

using namespace DbscoutTest;
using Dbscout::RegKey;
using std::string_literals::operator""s;

namespace {

constexpr const char* kCommand = "molb\\shell\\dir\\command";

bool exists(HKEY root, const char* path)
{
    RegKey key;
    return key.open(root, path) == ERROR_SUCCESS;
}

} // namespace

TEST_F(RegistryTest, classesReadTheUsersKeysBeforeTheMachines)
{
    RegKey machine = createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\dir\\command");
    ASSERT_EQ(setValue(machine.get(), nullptr, REG_SZ, "\"/usr/bin/machine\" \"%1\"\0"s),
              ERROR_SUCCESS);
    ASSERT_EQ(setValue(machine.get(), "machine only", REG_DWORD, "\1\0\0\0"s), ERROR_SUCCESS);

    RegKey classes;
    ASSERT_EQ(classes.open(HKEY_CLASSES_ROOT, kCommand), ERROR_SUCCESS);
    EXPECT_EQ(value(classes.get(), nullptr),
              (StoredValue{REG_SZ, "\"/usr/bin/machine\" \"%1\"\0"s}));

    // A per-user registration wins from then on, through the key already open.
    RegKey user = createKey(HKEY_CURRENT_USER, "Software\\Classes\\MOLB\\Shell\\Dir\\Command");
    ASSERT_EQ(setValue(user.get(), nullptr, REG_SZ, "\"/home/me/handler\" \"%1\"\0"s),
              ERROR_SUCCESS);
    EXPECT_EQ(value(classes.get(), nullptr),
              (StoredValue{REG_SZ, "\"/home/me/handler\" \"%1\"\0"s}));
    EXPECT_EQ(value(classes.get(), "Machine Only"), (StoredValue{REG_DWORD, "\1\0\0\0"s}));

    DWORD values = 0;
    ASSERT_EQ(RegQueryInfoKeyA(classes.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 2u); // the default value counts once
}

TEST_F(RegistryTest, classesEnumerateTheUnionWithTheUsersSpelling)
{
    createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\dir");
    createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\put");
    createKey(HKEY_CURRENT_USER, "Software\\Classes\\molb\\shell\\DIR");
    createKey(HKEY_CURRENT_USER, "Software\\Classes\\molb\\shell\\open");

    RegKey shell;
    ASSERT_EQ(shell.open(HKEY_CLASSES_ROOT, "molb\\shell"), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(shell.get()), (std::vector<std::string>{"DIR", "open", "put"}));
    RegKey root;
    ASSERT_EQ(root.open(HKEY_CLASSES_ROOT, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(subkeysOf(root.get()), std::vector<std::string>{"molb"});
}

TEST_F(RegistryTest, classesWriteToTheUsersHiveOnly)
{
    createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\ncbi\\shell");
    RegKey shell;
    ASSERT_EQ(shell.open(HKEY_CLASSES_ROOT, "ncbi\\shell", KEY_ALL_ACCESS), ERROR_SUCCESS);
    ASSERT_EQ(setValue(shell.get(), "written", REG_SZ, "here\0"s), ERROR_SUCCESS);
    RegKey created;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(shell.get(), "dir\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              created.out(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

    RegKey user;
    ASSERT_EQ(user.open(HKEY_CURRENT_USER, "Software\\Classes\\ncbi\\shell"), ERROR_SUCCESS);
    EXPECT_EQ(value(user.get(), "written"), (StoredValue{REG_SZ, "here\0"s}));
    EXPECT_TRUE(exists(HKEY_CURRENT_USER, "Software\\Classes\\ncbi\\shell\\dir\\command"));
    RegKey machine;
    ASSERT_EQ(machine.open(HKEY_LOCAL_MACHINE, "Software\\Classes\\ncbi\\shell"), ERROR_SUCCESS);
    EXPECT_FALSE(value(machine.get(), "written"));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, "Software\\Classes\\ncbi\\shell\\dir"));
}

TEST_F(RegistryTest, classesCannotDeleteWhatOnlyTheMachineHas)
{
    RegKey machine = createKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\molb\\shell\\dir");
    ASSERT_EQ(setValue(machine.get(), "v", REG_SZ, "m"), ERROR_SUCCESS);
    RegKey classes;
    ASSERT_EQ(classes.open(HKEY_CLASSES_ROOT, "molb\\shell\\dir", KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(classes.get(), "v"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, "molb"), ERROR_ACCESS_DENIED);

    // The user's override can be deleted, and the machine's value shows again.
    ASSERT_EQ(setValue(classes.get(), "v", REG_SZ, "u"), ERROR_SUCCESS);
    EXPECT_EQ(value(classes.get(), "v"), (StoredValue{REG_SZ, "u"}));
    EXPECT_EQ(RegDeleteValueA(classes.get(), "v"), ERROR_SUCCESS);
    EXPECT_EQ(value(classes.get(), "v"), (StoredValue{REG_SZ, "m"}));
    EXPECT_EQ(RegDeleteValueA(classes.get(), "missing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, classesKeyGoneFromBothHivesAnswersKeyDeleted)
{
    createKey(HKEY_CURRENT_USER, "Software\\Classes\\temp");
    RegKey classes;
    ASSERT_EQ(classes.open(HKEY_CLASSES_ROOT, "temp"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\temp"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(classes.get(), nullptr, nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);
    EXPECT_FALSE(exists(HKEY_CLASSES_ROOT, "temp"));
}
