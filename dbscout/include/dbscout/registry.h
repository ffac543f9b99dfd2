#pragma once
// The settings store: a Win32-shaped registry API over one SQLite file per hive.
//
// Hives: HKEY_CURRENT_USER is $XDG_CONFIG_HOME/dbscout/user.db, HKEY_LOCAL_MACHINE is
// /etc/dbscout/machine.db (read-only where not writable), HKEY_CLASSES_ROOT reads
// HKCU\Software\Classes over HKLM\Software\Classes and writes to the user's. When
// DBSCOUT_REGISTRY_DIR is set, both hive files live in that folder instead.
// Key and value names compare without regard to ASCII case and keep the case they were
// written with; values keep their type and exact bytes. Calls are thread-safe; several
// processes may share a hive.
//
// Access rights of a key handle: reading values and RegQueryInfoKeyA need KEY_QUERY_VALUE,
// RegEnumKeyExA needs KEY_ENUMERATE_SUB_KEYS, setting and deleting values KEY_SET_VALUE,
// creating a new subkey or deleting keys (RegDeleteKeyA, RegDeleteTreeA) KEY_CREATE_SUB_KEY, and
// RegDeleteTreeA without a subkey both. Asking for a right to change a hive this process may not
// write fails with ERROR_ACCESS_DENIED. Through HKEY_CLASSES_ROOT, keys and values that exist
// only in the machine's part cannot be deleted (ERROR_ACCESS_DENIED). A handle whose key was
// deleted answers ERROR_KEY_DELETED; a damaged hive file answers ERROR_BADDB or ERROR_CANTREAD.

#include <dbscout/export.h>

#include <cstdint>

using LONG = int32_t;
using DWORD = uint32_t;
using BYTE = uint8_t;
using REGSAM = uint32_t;
using HKEY = struct DbscoutRegKey*;
using PHKEY = HKEY*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t(0x80000002));

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Results.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_OUTOFMEMORY = 14;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_CANTREAD = 1012;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_KEY_DELETED = 1018;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

extern "C" {
DBSCOUT_EXPORT LONG RegOpenKeyExA(HKEY hKey, const char* lpSubKey, DWORD ulOptions,
                                  REGSAM samDesired, PHKEY phkResult);
DBSCOUT_EXPORT LONG RegCreateKeyExA(HKEY hKey, const char* lpSubKey, DWORD Reserved,
                                    char* lpClass, DWORD dwOptions, REGSAM samDesired,
                                    const void* lpSecurityAttributes, PHKEY phkResult,
                                    DWORD* lpdwDisposition);
DBSCOUT_EXPORT LONG RegCloseKey(HKEY hKey);
DBSCOUT_EXPORT LONG RegQueryValueExA(HKEY hKey, const char* lpValueName, DWORD* lpReserved,
                                     DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
DBSCOUT_EXPORT LONG RegSetValueExA(HKEY hKey, const char* lpValueName, DWORD Reserved,
                                   DWORD dwType, const BYTE* lpData, DWORD cbData);
DBSCOUT_EXPORT LONG RegDeleteValueA(HKEY hKey, const char* lpValueName);
DBSCOUT_EXPORT LONG RegDeleteKeyA(HKEY hKey, const char* lpSubKey);
DBSCOUT_EXPORT LONG RegDeleteTreeA(HKEY hKey, const char* lpSubKey);
DBSCOUT_EXPORT LONG RegQueryInfoKeyA(HKEY hKey, char* lpClass, DWORD* lpcchClass,
                                     DWORD* lpReserved, DWORD* lpcSubKeys,
                                     DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                                     DWORD* lpcValues, DWORD* lpcbMaxValueNameLen,
                                     DWORD* lpcbMaxValueLen, DWORD* lpcbSecurityDescriptor,
                                     void* lpftLastWriteTime);
DBSCOUT_EXPORT LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, char* lpName, DWORD* lpcchName,
                                  DWORD* lpReserved, char* lpClass, DWORD* lpcchClass,
                                  void* lpftLastWriteTime);
DBSCOUT_EXPORT LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, char* lpValueName,
                                  DWORD* lpcchValueName, DWORD* lpReserved, DWORD* lpType,
                                  BYTE* lpData, DWORD* lpcbData);
}

namespace Dbscout {

// Owns one open key and closes it when it goes out of scope. Predefined hives are never closed.
class DBSCOUT_EXPORT RegKey final
{
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_key(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : m_key(other.release()) {}
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey();

    // Opens (or, with create, creates) lpSubKey below parent; returns the Win32 result.
    LONG open(HKEY parent, const char* subKey, REGSAM access = KEY_READ);
    LONG create(HKEY parent, const char* subKey, REGSAM access = KEY_ALL_ACCESS);

    HKEY get() const { return m_key; }
    HKEY* out() { reset(); return &m_key; }
    explicit operator bool() const { return m_key != nullptr; }
    HKEY release() { HKEY k = m_key; m_key = nullptr; return k; }
    void reset(HKEY key = nullptr);

private:
    HKEY m_key = nullptr;
};

} // namespace Dbscout
