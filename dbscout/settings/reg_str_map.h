#pragma once
// A map from text keys (ascending, case-sensitive) to containers that save themselves, kept in a
// settings key as the subtree "QUERY_HISTORY": "size", and one subkey "0", "1", ... per entry
// holding the key as its default value and the container's own values.

#include "settings/reg_containers.h"

#include <map>
#include <string>

namespace Dbscout {

template <typename Value>
class CRegStrMap : public std::map<std::string, Value>
{
public:
    virtual ~CRegStrMap() = default;

    // Rewrites the whole subtree; limit goes unchanged to every value's Save.
    virtual bool Save(HKEY parent, int limit) const
    {
        RegDeleteTreeA(parent, kSubtree);
        RegKey map;
        if (map.create(parent, kSubtree, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            return false;
        if (!writeDword(map.get(), "size", DWORD(this->size())))
            return false;
        DWORD index = 0;
        for (const auto& [key, value] : *this) {
            RegKey entry;
            if (entry.create(map.get(), std::to_string(index++).c_str(), KEY_READ | KEY_WRITE) !=
                    ERROR_SUCCESS ||
                !writeString(entry.get(), nullptr, key) || !value.Save(entry.get(), limit))
                return false;
        }
        return true;
    }

    // Adds the stored entries (the map is not emptied first). Stops with false at a missing
    // entry, an unreadable key or a key the map already holds, keeping what was added.
    virtual bool Load(HKEY parent)
    {
        RegKey map;
        if (map.open(parent, kSubtree, KEY_READ) != ERROR_SUCCESS)
            return false;
        DWORD count = 0;
        if (!readDword(map.get(), "size", count))
            return false;
        for (DWORD i = 0; i < count; ++i) {
            RegKey entry;
            std::string key;
            if (entry.open(map.get(), std::to_string(i).c_str(), KEY_READ) != ERROR_SUCCESS ||
                !readString(entry.get(), nullptr, key) || this->count(key))
                return false;
            Value value;
            value.Load(entry.get());
            this->emplace(std::move(key), std::move(value));
        }
        return true;
    }

private:
    static constexpr const char* kSubtree = "QUERY_HISTORY";
};

} // namespace Dbscout
