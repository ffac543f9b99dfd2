#pragma once
// Small containers that write themselves into a settings key as values "0", "1", ... and "size",
// and read themselves back. Loads append; failures return false and keep what was read.

#include <dbscout/registry.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Dbscout {

// Values the containers read and write, shared with their users.
bool writeDword(HKEY key, const char* name, DWORD value);
// A number is read through a four-byte buffer, as the settings were always read: a REG_DWORD
// value of fewer bytes fills its low bytes (the rest stay 0), a longer one does not fit.
bool readDword(HKEY key, const char* name, DWORD& value);
bool writeString(HKEY key, const char* name, const std::string& value);
// A string counts only with its terminator (two for a multi-string, whose first string is taken)
// and when it fits maxBytes; expandable strings are taken as stored.
bool readString(HKEY key, const char* name, std::string& value, DWORD maxBytes = 32768);

class CRegDWORDVector : public std::vector<uint32_t>
{
public:
    virtual ~CRegDWORDVector() = default;
    // Writes at most maxCount elements (all when maxCount <= 0), then "size". Values an earlier,
    // longer save left behind stay; "size" tells how many count.
    virtual bool Save(HKEY key, int maxCount) const;
    // Appends "size" elements; false at the first missing or non-number value.
    virtual bool Load(HKEY key);

    friend bool operator==(const CRegDWORDVector&, const CRegDWORDVector&) = default;
};

class CRegStrList : public std::vector<std::string>
{
public:
    virtual ~CRegStrList() = default;
    virtual bool Save(HKEY key, int maxCount) const;
    virtual bool Load(HKEY key);
};

} // namespace Dbscout
