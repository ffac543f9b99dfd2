// dbscout-reg: query, add, delete, import and export keys of the settings store.

#include "reg_commands.h"
#include "reg_data.h"

#include <cstring>
#include <iostream>
#include <strings.h>
#include <vector>

using namespace Dbscout;

namespace {

constexpr const char* kUsage =
    "usage: dbscout-reg query KEY [/v NAME | /ve]\n"
    "       dbscout-reg add KEY [/v NAME | /ve] [/t TYPE] [/d DATA] [/f]\n"
    "       dbscout-reg delete KEY [/v NAME | /ve] [/f]\n"
    "       dbscout-reg import FILE\n"
    "       dbscout-reg export KEY FILE\n"
    "KEY starts with HKEY_CURRENT_USER (HKCU), HKEY_LOCAL_MACHINE (HKLM) or HKEY_CLASSES_ROOT\n"
    "(HKCR). TYPE is REG_SZ (the default), REG_EXPAND_SZ, REG_MULTI_SZ (\\0 separates the\n"
    "strings in DATA), REG_DWORD (decimal or 0x hex) or REG_BINARY (hex digits). /f changes\n"
    "without asking.\n";

constexpr int kUsageError = 2;

struct Options
{
    ValueName value;
    std::string typeText;
    std::string dataText;
    bool typed = false;
    bool withData = false;
    bool force = false;
};

int usageError(const std::string& message)
{
    printError(message + " (run dbscout-reg without arguments for usage)");
    return kUsageError;
}

bool isOption(const std::string& arg, const char* name)
{
    return strcasecmp(arg.c_str(), name) == 0;
}

// Parses the options after KEY; allowed lists the letters the command takes ("vtdf").
bool parseOptions(const std::vector<std::string>& args, const char* allowed, Options& options,
                  std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = isOption(arg, "/v") || isOption(arg, "/t") || isOption(arg, "/d");
        const bool known = takesValue || isOption(arg, "/ve") || isOption(arg, "/f");
        if (!known || !std::strchr(allowed, std::tolower(static_cast<unsigned char>(arg[1])))) {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs an argument";
            return false;
        }
        if ((isOption(arg, "/v") || isOption(arg, "/ve")) && options.value) {
            error = "name one value only (/v NAME or /ve)";
            return false;
        }
        if (isOption(arg, "/v")) {
            options.value = args[++i];
        } else if (isOption(arg, "/ve")) {
            options.value = std::string();
        } else if (isOption(arg, "/t")) {
            options.typed = true;
            options.typeText = args[++i];
        } else if (isOption(arg, "/d")) {
            options.withData = true;
            options.dataText = args[++i];
        } else {
            options.force = true;
        }
    }
    return true;
}

int runAdd(const RegKeyName& key, Options& options)
{
    DWORD type = REG_SZ;
    if (options.typed && !parseTypeName(options.typeText, type))
        return usageError("unknown type \"" + options.typeText +
                          "\"; use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD or REG_BINARY");
    // Type or data without a value name set the key's default value.
    if (!options.value && (options.typed || options.withData))
        options.value = std::string();
    std::string data, error;
    if (options.value && !dataFromText(type, options.dataText, data, error))
        return usageError(error);
    return addCommand(key, options.value, type, data, options.force);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << kUsage;
        return kUsageError;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "/?") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "import")
        return args.size() == 1 ? importCommand(args[0]) : usageError("import takes one FILE");

    const char* allowed = command == "query"    ? "v"
                          : command == "add"    ? "vtdf"
                          : command == "delete" ? "vf"
                          : command == "export" ? ""
                                                : nullptr;
    if (!allowed)
        return usageError("unknown command \"" + command + "\"");
    if (args.empty())
        return usageError(command + " needs a KEY");
    RegKeyName key;
    if (!parseKeyName(args[0], key))
        return usageError("\"" + args[0] +
                          "\" does not start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or "
                          "HKEY_CLASSES_ROOT (HKCU, HKLM, HKCR)");
    if (command == "export")
        return args.size() == 2 ? exportCommand(key, args[1]) : usageError("export takes KEY FILE");

    Options options;
    std::string error;
    if (!parseOptions({args.begin() + 1, args.end()}, allowed, options, error))
        return usageError(error);
    if (command == "query")
        return queryCommand(key, options.value);
    if (command == "delete")
        return deleteCommand(key, options.value, options.force);
    return runAdd(key, options);
}
