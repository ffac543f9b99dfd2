#include "reg_commands.h"

#include "reg_data.h"
#include "reg_file_writer.h"
#include "reg_import.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace Dbscout {

namespace {

std::string shownName(const std::string& name)
{
    return name.empty() ? std::string("(Default)") : name;
}

// Yes or no on standard input; anything but yes (or the end of input) is no.
bool confirmed(const std::string& question)
{
    std::cerr << question << " (Yes/No)? " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    for (char& c : answer)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return answer == "y" || answer == "yes";
}

int failed(const std::string& what, LONG result)
{
    printError(what + ": " + regErrorText(result));
    return 1;
}

int cancelled()
{
    printError("cancelled; nothing was changed");
    return 1;
}

bool readValue(HKEY key, const std::string& name, DWORD& type, std::string& data, LONG& result)
{
    DWORD size = 0;
    result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> buffer(size + 1);
    if (result == ERROR_SUCCESS)
        result = RegQueryValueExA(key, name.c_str(), nullptr, &type, buffer.data(), &size);
    data.assign(reinterpret_cast<char*>(buffer.data()), result == ERROR_SUCCESS ? size : 0);
    return result == ERROR_SUCCESS;
}

void printValue(std::ostream& out, const std::string& name, DWORD type, const std::string& data)
{
    out << "    " << shownName(name) << "    " << typeName(type) << "    "
        << dataForDisplay(type, data) << "\n";
}

} // namespace

void printError(const std::string& message)
{
    std::cerr << "dbscout-reg: " << message << std::endl;
}

int queryCommand(const RegKeyName& key, const ValueName& value)
{
    RegKey opened;
    LONG result = opened.open(key.root, key.path.c_str(), KEY_READ);
    if (result != ERROR_SUCCESS)
        return failed(key.full(), result);
    DWORD type = REG_NONE;
    std::string data;
    if (value) {
        if (!readValue(opened.get(), *value, type, data, result))
            return failed(key.full() + " value " + shownName(*value), result);
        std::cout << key.full() << "\n";
        printValue(std::cout, *value, type, data);
        return 0;
    }
    std::ostringstream out;
    out << key.full() << "\n";
    char name[256];
    DWORD size = 0;
    for (DWORD i = 0;; ++i) {
        size = sizeof name;
        result = RegEnumValueA(opened.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS || !readValue(opened.get(), name, type, data, result))
            break;
        printValue(out, name, type, data);
    }
    if (result != ERROR_NO_MORE_ITEMS)
        return failed(key.full(), result);
    out << "\n";
    for (DWORD i = 0;; ++i) {
        size = sizeof name;
        result = RegEnumKeyExA(opened.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        out << key.full() << "\\" << name << "\n";
    }
    if (result != ERROR_NO_MORE_ITEMS)
        return failed(key.full(), result);
    std::cout << out.str();
    return 0;
}

int addCommand(const RegKeyName& key, const ValueName& value, DWORD type, const std::string& data,
               bool force)
{
    RegKey opened;
    LONG result = opened.create(key.root, key.path.c_str());
    if (result != ERROR_SUCCESS)
        return failed(key.full(), result);
    if (!value)
        return 0;
    DWORD oldType = REG_NONE;
    std::string oldData;
    if (!force && readValue(opened.get(), *value, oldType, oldData, result) &&
        !confirmed("Value " + shownName(*value) + " exists, overwrite"))
        return cancelled();
    result = RegSetValueExA(opened.get(), value->c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
    return result == ERROR_SUCCESS ? 0 : failed(key.full() + " value " + shownName(*value), result);
}

int deleteCommand(const RegKeyName& key, const ValueName& value, bool force)
{
    RegKey opened;
    LONG result = opened.open(key.root, key.path.c_str(), KEY_ALL_ACCESS);
    if (result != ERROR_SUCCESS)
        return failed(key.full(), result);
    if (value) {
        DWORD type = REG_NONE;
        std::string data;
        const std::string what = key.full() + " value " + shownName(*value);
        if (!readValue(opened.get(), *value, type, data, result))
            return failed(what, result);
        if (!force && !confirmed("Delete the value " + shownName(*value)))
            return cancelled();
        result = RegDeleteValueA(opened.get(), value->c_str());
        return result == ERROR_SUCCESS ? 0 : failed(what, result);
    }
    if (key.path.empty()) {
        printError(key.full() + ": a whole hive cannot be deleted");
        return 1;
    }
    if (!force && !confirmed("Delete the key " + key.full() + " and everything below it"))
        return cancelled();
    opened.reset();
    result = RegDeleteTreeA(key.root, key.path.c_str());
    return result == ERROR_SUCCESS ? 0 : failed(key.full(), result);
}

int importCommand(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        printError(file + ": cannot read: " + std::strerror(errno));
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RegFileError error;
    if (!importRegText(text, error)) {
        const std::string where = error.line > 0 ? ":" + std::to_string(error.line) : "";
        printError(file + where + ": " + error.message);
        return 1;
    }
    return 0;
}

int exportCommand(const RegKeyName& key, const std::string& file)
{
    std::string text, error;
    if (!exportRegText(key, text, error)) {
        printError(error);
        return 1;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out || !(out << text) || !out.flush()) {
        printError(file + ": cannot write: " + std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace Dbscout
