#include "platform/registry_fixture.h"

#include <vector>

namespace DbscoutTest {

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

} // namespace DbscoutTest
