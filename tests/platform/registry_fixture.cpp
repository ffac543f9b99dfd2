#include "platform/registry_fixture.h"

#include <sqlite3.h>

#include <vector>

namespace DbscoutTest {

namespace {

// Names by index until the enumeration ends.
template <typename Enumerate> std::vector<std::string> namesOf(Enumerate enumerate)
{
    std::vector<std::string> names;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD i = 0; enumerate(i, name, &size) == ERROR_SUCCESS; ++i, size = sizeof name)
        names.emplace_back(name, size);
    return names;
}

} // namespace

Dbscout::RegKey RegistryTest::createKey(HKEY root, const char* path)
{
    Dbscout::RegKey key;
    EXPECT_EQ(key.create(root, path), ERROR_SUCCESS) << path;
    return key;
}

LONG RegistryTest::setValue(HKEY key, const char* name, DWORD type, const std::string& data)
{
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          DWORD(data.size()));
}

std::optional<StoredValue> RegistryTest::value(HKEY key, const char* name)
{
    DWORD size = 0;
    StoredValue stored;
    if (RegQueryValueExA(key, name, nullptr, &stored.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> buffer(size + 1);
    if (RegQueryValueExA(key, name, nullptr, &stored.type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    stored.data.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return stored;
}

std::vector<std::string> RegistryTest::subkeysOf(HKEY key)
{
    return namesOf([key](DWORD index, char* name, DWORD* size) {
        return RegEnumKeyExA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<std::string> RegistryTest::valueNamesOf(HKEY key)
{
    return namesOf([key](DWORD index, char* name, DWORD* size) {
        return RegEnumValueA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
    });
}

std::string RegistryTest::fileAnswer(const std::string& file, const char* sql)
{
    sqlite3* db = nullptr;
    std::string answer = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            answer = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return answer;
}

} // namespace DbscoutTest
