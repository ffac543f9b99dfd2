#include "reg_file_writer.h"

#include "reg_bytes.h"

#include <cstdio>
#include <strings.h>
#include <vector>

namespace Dbscout {

namespace {

constexpr size_t kHexLineWidth = 76;

bool hasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Only a string with exactly one NUL, at its end, and no line break comes back from "text".
bool isPlainString(DWORD type, const std::string& data)
{
    return type == REG_SZ && !data.empty() && data.find('\0') == data.size() - 1 &&
           !hasLineBreak(data);
}

std::string hexList(std::string line, const std::string& data)
{
    size_t lineStart = 0;
    char byte[3];
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            line += ',';
            if (line.size() - lineStart > kHexLineWidth) {
                line += "\\\n  ";
                lineStart = line.size() - 2;
            }
        }
        std::snprintf(byte, sizeof byte, "%02x", unsigned(static_cast<unsigned char>(data[i])));
        line += byte;
    }
    return line;
}

std::string valueLine(const std::string& name, DWORD type, const std::string& data)
{
    const std::string head = (name.empty() ? std::string("@") : quoted(name)) + "=";
    if (isPlainString(type, data))
        return head + quoted(data.substr(0, data.size() - 1));
    if (type == REG_DWORD && data.size() == 4) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", dwordFromBytes(data));
        return head + text;
    }
    if (type == REG_BINARY)
        return hexList(head + "hex:", data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    return hexList(head + prefix, data);
}

class Exporter
{
public:
    Exporter(std::string& text, std::string& error) : m_text(text), m_error(error) {}

    bool key(HKEY key, const std::string& path)
    {
        if (hasLineBreak(path))
            return fail(path, "a key name with a line break cannot be exported");
        m_text += "[" + path + "]\n";
        DWORD values = 0, longestName = 0, largestData = 0;
        LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       &values, &longestName, &largestData, nullptr, nullptr);
        std::vector<char> name(longestName + 1);
        std::vector<BYTE> data(largestData + 1);
        for (DWORD i = 0; result == ERROR_SUCCESS && i < values; ++i) {
            DWORD nameSize = DWORD(name.size()), dataSize = DWORD(data.size()), type = 0;
            result = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(),
                                   &dataSize);
            const std::string valueName(name.data(), nameSize);
            if (result == ERROR_SUCCESS && hasLineBreak(valueName))
                return fail(path, "a value name with a line break cannot be exported");
            if (result == ERROR_SUCCESS)
                m_text += valueLine(valueName, type,
                                    std::string(reinterpret_cast<char*>(data.data()), dataSize)) +
                          "\n";
        }
        if (result != ERROR_SUCCESS)
            return fail(path, regErrorText(result));
        m_text += "\n";
        for (const std::string& subkey : subkeys(key, result)) {
            RegKey child;
            result = child.open(key, subkey.c_str(), KEY_READ);
            if (result != ERROR_SUCCESS)
                return fail(path + "\\" + subkey, regErrorText(result));
            if (!this->key(child.get(), path + "\\" + subkey))
                return false;
        }
        return result == ERROR_SUCCESS || fail(path, regErrorText(result));
    }

private:
    static std::vector<std::string> subkeys(HKEY key, LONG& result)
    {
        std::vector<std::string> names;
        char name[256];
        DWORD size = sizeof name;
        while ((result = RegEnumKeyExA(key, DWORD(names.size()), name, &size, nullptr, nullptr,
                                       nullptr, nullptr)) == ERROR_SUCCESS) {
            names.emplace_back(name, size);
            size = sizeof name;
        }
        if (result == ERROR_NO_MORE_ITEMS)
            result = ERROR_SUCCESS;
        return names;
    }

    bool fail(const std::string& path, const std::string& message)
    {
        m_error = path + ": " + message;
        return false;
    }

    std::string& m_text;
    std::string& m_error;
};

// The path with each name spelled as stored, so that an export typed in any case imports as
// the original.
LONG storedSpelling(const RegKeyName& key, std::string& path)
{
    path = key.rootName;
    RegKey parent(key.root);
    for (size_t start = 0; start < key.path.size();) {
        const size_t slash = key.path.find('\\', start);
        const std::string wanted = key.path.substr(start, slash - start);
        start = slash == std::string::npos ? key.path.size() : slash + 1;
        RegKey child;
        LONG result = child.open(parent.get(), wanted.c_str(), KEY_READ);
        if (result != ERROR_SUCCESS)
            return result;
        char name[256];
        DWORD size = sizeof name;
        std::string spelled = wanted;
        for (DWORD i = 0; (result = RegEnumKeyExA(parent.get(), i, name, &size, nullptr, nullptr,
                                                  nullptr, nullptr)) == ERROR_SUCCESS;
             ++i, size = sizeof name) {
            if (strcasecmp(name, wanted.c_str()) == 0)
                spelled = name;
        }
        path += "\\" + spelled;
        parent = std::move(child);
    }
    return ERROR_SUCCESS;
}

} // namespace

bool exportRegText(const RegKeyName& key, std::string& text, std::string& error)
{
    text = "Windows Registry Editor Version 5.00\n\n";
    std::string path;
    RegKey opened;
    LONG result = storedSpelling(key, path);
    if (result == ERROR_SUCCESS)
        result = opened.open(key.root, key.path.c_str(), KEY_READ);
    if (result != ERROR_SUCCESS) {
        error = key.full() + ": " + regErrorText(result);
        return false;
    }
    return Exporter(text, error).key(opened.get(), path);
}

} // namespace Dbscout
