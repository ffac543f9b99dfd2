#include <dbscout/registry.h>

namespace Dbscout {

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

RegKey::~RegKey()
{
    reset();
}

// The new key is opened before the old one is closed: parent may be this key itself.
LONG RegKey::open(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(parent, subKey, 0, access, &key);
    reset(key);
    return result;
}

LONG RegKey::create(HKEY parent, const char* subKey, REGSAM access)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, nullptr);
    reset(key);
    return result;
}

void RegKey::reset(HKEY key)
{
    if (m_key && m_key != key)
        RegCloseKey(m_key); // a predefined hive ignores this
    m_key = key;
}

} // namespace Dbscout
