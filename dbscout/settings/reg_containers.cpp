#include "settings/reg_containers.h"

#include <memory>

namespace Dbscout {

bool writeDword(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool readDword(HKEY key, const char* name, DWORD& value)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    value = data;
    return true;
}

bool writeString(HKEY key, const char* name, const std::string& value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          DWORD(value.size() + 1)) == ERROR_SUCCESS;
}

bool readString(HKEY key, const char* name, std::string& value, DWORD maxBytes)
{
    std::unique_ptr<BYTE[]> buffer(new BYTE[maxBytes]);
    DWORD type = REG_NONE;
    DWORD size = maxBytes;
    if (RegQueryValueExA(key, name, nullptr, &type, buffer.get(), &size) != ERROR_SUCCESS)
        return false;
    const bool terminated =
        (type == REG_SZ || type == REG_EXPAND_SZ)
            ? size >= 1 && buffer[size - 1] == 0
            : type == REG_MULTI_SZ && size >= 2 && buffer[size - 1] == 0 && buffer[size - 2] == 0;
    if (!terminated)
        return false;
    value.assign(reinterpret_cast<const char*>(buffer.get()));
    return true;
}

namespace {

// Writes the elements under "0", "1", ... and their count under "size".
template <typename List, typename WriteElement>
bool saveElements(HKEY key, const List& list, int maxCount, WriteElement write)
{
    DWORD count = 0;
    for (const auto& element : list) {
        if (maxCount > 0 && count >= DWORD(maxCount))
            break;
        if (!write(key, std::to_string(count).c_str(), element))
            return false;
        ++count;
    }
    return writeDword(key, "size", count);
}

template <typename List, typename ReadElement>
bool loadElements(HKEY key, List& list, ReadElement read)
{
    DWORD count = 0;
    if (!readDword(key, "size", count))
        return false;
    for (DWORD i = 0; i < count; ++i) {
        typename List::value_type element{};
        if (!read(key, std::to_string(i).c_str(), element))
            return false;
        list.push_back(element);
    }
    return true;
}

} // namespace

bool CRegDWORDVector::Save(HKEY key, int maxCount) const
{
    return saveElements(key, *this, maxCount, writeDword);
}

bool CRegDWORDVector::Load(HKEY key)
{
    return loadElements(key, *this, [](HKEY k, const char* name, uint32_t& value) {
        DWORD read = 0;
        if (!readDword(k, name, read))
            return false;
        value = read;
        return true;
    });
}

bool CRegStrList::Save(HKEY key, int maxCount) const
{
    return saveElements(key, *this, maxCount, writeString);
}

bool CRegStrList::Load(HKEY key)
{
    return loadElements(key, *this, [](HKEY k, const char* name, std::string& value) {
        return readString(k, name, value);
    });
}

} // namespace Dbscout
