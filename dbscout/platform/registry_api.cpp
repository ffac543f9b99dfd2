// The Win32-shaped entry points of the settings store: argument checks, access rights and the
// caller's buffers. Everything about keys and values is in KeyView and Hive.

#include "platform/registry_handles.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

namespace Dbscout {
namespace {

constexpr size_t kMaxKeyNameLength = 255;

// "A\B\C" into its names; null or empty is the key itself. One trailing backslash is allowed;
// other empty names and names longer than Windows allows are refused.
LONG splitKeyPath(const char* subKey, KeyPath& path)
{
    path.clear();
    std::string_view rest = subKey ? subKey : "";
    while (!rest.empty()) {
        const size_t slash = rest.find('\\');
        const std::string_view name = rest.substr(0, slash);
        if (name.empty() || name.size() > kMaxKeyNameLength)
            return ERROR_INVALID_PARAMETER;
        path.emplace_back(name);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return ERROR_SUCCESS;
}

// Calls body with the view of key when key is open and allows the rights. No exception may
// cross into C callers.
template <typename Body> LONG withKey(HKEY key, REGSAM rights, Body body)
{
    try {
        const std::shared_ptr<const KeyView> view = findKeyHandle(key);
        if (!view)
            return ERROR_INVALID_HANDLE;
        if (!view->allows(rights))
            return ERROR_ACCESS_DENIED;
        return body(*view);
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (const std::exception&) {
        return ERROR_CANTREAD;
    }
}

// Windows' rule for a caller's data buffer: the needed size always comes back; no buffer asks
// only for the size; a short buffer gets ERROR_MORE_DATA.
LONG copyData(const std::string& bytes, BYTE* buffer, DWORD* size)
{
    if (!size)
        return ERROR_SUCCESS;
    const DWORD room = *size;
    *size = DWORD(bytes.size());
    if (!buffer)
        return ERROR_SUCCESS;
    if (bytes.size() > room)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

// A name with its NUL into a buffer of *chars characters; *chars becomes the length without NUL.
LONG copyName(const std::string& name, char* buffer, DWORD* chars)
{
    if (name.size() + 1 > *chars)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *chars = DWORD(name.size());
    return ERROR_SUCCESS;
}

// Keys have no class names and no modification times here.
void clearClassAndTime(char* cls, DWORD* classChars, void* lastWriteTime)
{
    if (classChars) {
        if (cls && *classChars > 0)
            cls[0] = '\0';
        *classChars = 0;
    }
    if (lastWriteTime)
        std::memset(lastWriteTime, 0, 8);
}

template <typename T> void setIf(T* out, T value)
{
    if (out)
        *out = value;
}

} // namespace
} // namespace Dbscout

using namespace Dbscout;

LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return withKey(hKey, 0, [&](const KeyView& parent) {
        KeyPath path;
        KeyView view;
        LONG result = splitKeyPath(lpSubKey, path);
        if (result == ERROR_SUCCESS)
            result = parent.openSubkey(path, samDesired, view);
        if (result == ERROR_SUCCESS)
            *phkResult = addKeyHandle(std::move(view));
        return result;
    });
}

LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD, char*, DWORD, REGSAM samDesired,
                     const void*, PHKEY phkResult, DWORD* lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return withKey(hKey, 0, [&](const KeyView& parent) {
        KeyPath path;
        KeyView view;
        bool created = false;
        LONG result = splitKeyPath(lpSubKey, path);
        if (result == ERROR_SUCCESS)
            result = parent.createSubkey(path, samDesired, view, created);
        if (result == ERROR_SUCCESS) {
            *phkResult = addKeyHandle(std::move(view));
            setIf(lpdwDisposition, created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY);
        }
        return result;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    return closeKeyHandle(hKey);
}

LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD*, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, KEY_QUERY_VALUE, [&](const KeyView& key) {
        RegValue value;
        const LONG result = key.readValue(lpValueName ? lpValueName : "", value);
        if (result != ERROR_SUCCESS)
            return result;
        setIf(lpType, value.type);
        return copyData(value.data, lpData, lpcbData);
    });
}

LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData)
{
    if (!lpData && cbData > 0)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, KEY_SET_VALUE, [&](const KeyView& key) {
        const std::string_view data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
        return key.writeValue(lpValueName ? lpValueName : "", dwType, data);
    });
}

LONG RegDeleteValueA(HKEY hKey, const char* lpValueName)
{
    return withKey(hKey, KEY_SET_VALUE, [&](const KeyView& key) {
        return key.deleteValue(lpValueName ? lpValueName : "");
    });
}

LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, KEY_CREATE_SUB_KEY, [&](const KeyView& key) {
        KeyPath path;
        const LONG result = splitKeyPath(lpSubKey, path);
        return result == ERROR_SUCCESS ? key.deleteSubkey(path, false) : result;
    });
}

LONG RegDeleteTreeA(HKEY hKey, const char* lpSubKey)
{
    const bool contentsOnly = !lpSubKey || !*lpSubKey;
    const REGSAM rights = contentsOnly ? KEY_CREATE_SUB_KEY | KEY_SET_VALUE : KEY_CREATE_SUB_KEY;
    return withKey(hKey, rights, [&](const KeyView& key) {
        if (contentsOnly)
            return key.clear();
        KeyPath path;
        const LONG result = splitKeyPath(lpSubKey, path);
        return result == ERROR_SUCCESS ? key.deleteSubkey(path, true) : result;
    });
}

LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass, DWORD*, DWORD* lpcSubKeys,
                      DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen, DWORD* lpcValues,
                      DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                      DWORD* lpcbSecurityDescriptor, void* lpftLastWriteTime)
{
    return withKey(hKey, KEY_QUERY_VALUE, [&](const KeyView& key) {
        std::vector<std::string> subkeys;
        std::vector<RegValueInfo> values;
        LONG result = key.subkeyNames(subkeys);
        if (result == ERROR_SUCCESS)
            result = key.valueList(values);
        if (result != ERROR_SUCCESS)
            return result;
        DWORD longestSubkey = 0, longestName = 0, largestData = 0;
        for (const std::string& name : subkeys)
            longestSubkey = std::max(longestSubkey, DWORD(name.size()));
        for (const RegValueInfo& value : values) {
            longestName = std::max(longestName, DWORD(value.name.size()));
            largestData = std::max(largestData, value.size);
        }
        clearClassAndTime(lpClass, lpcchClass, lpftLastWriteTime);
        setIf(lpcSubKeys, DWORD(subkeys.size()));
        setIf(lpcbMaxSubKeyLen, longestSubkey);
        setIf(lpcbMaxClassLen, DWORD(0));
        setIf(lpcValues, DWORD(values.size()));
        setIf(lpcbMaxValueNameLen, longestName);
        setIf(lpcbMaxValueLen, largestData);
        setIf(lpcbSecurityDescriptor, DWORD(0));
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName, DWORD*, char* lpClass,
                   DWORD* lpcchClass, void* lpftLastWriteTime)
{
    if (!lpName || !lpcchName)
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](const KeyView& key) {
        std::vector<std::string> names;
        LONG result = key.subkeyNames(names);
        if (result != ERROR_SUCCESS)
            return result;
        if (dwIndex >= names.size())
            return ERROR_NO_MORE_ITEMS;
        result = copyName(names[dwIndex], lpName, lpcchName);
        if (result == ERROR_SUCCESS)
            clearClassAndTime(lpClass, lpcchClass, lpftLastWriteTime);
        return result;
    });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName, DWORD* lpcchValueName, DWORD*,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData)
{
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return withKey(hKey, KEY_QUERY_VALUE, [&](const KeyView& key) {
        std::vector<RegValueInfo> values;
        LONG result = key.valueList(values);
        if (result != ERROR_SUCCESS)
            return result;
        if (dwIndex >= values.size())
            return ERROR_NO_MORE_ITEMS;
        const RegValueInfo& info = values[dwIndex];
        result = copyName(info.name, lpValueName, lpcchValueName);
        if (result != ERROR_SUCCESS)
            return result;
        setIf(lpType, info.type);
        if (!lpcbData)
            return ERROR_SUCCESS;
        RegValue value;
        result = key.readValue(info.name, value);
        return result == ERROR_SUCCESS ? copyData(value.data, lpData, lpcbData) : result;
    });
}
