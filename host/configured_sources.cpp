#include "configured_sources.h"

#include "settings_values.h"

namespace {

constexpr const char* kSourcesKey =
    "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources";
constexpr const char* kKindSuffixes[] = {" (DNA/RNA)", " (Protein)", " (Blast)", " (Citation)",
                                         " (Analyses)"};
constexpr DWORD kMaxKeyName = 256;

ConfiguredSource readSource(HKEY key)
{
    const auto flag = [key](const char* name) { return readNumber(key, name).value_or(0) == 1; };
    ConfiguredSource source;
    source.name = readText(key, "Name").value_or(std::string());
    source.address = readText(key, "Address").value_or(std::string());
    source.canSave = flag("Visible1") && flag("Visible2") && flag("CanSave");
    source.hasLogin = flag("HasLogin");
    source.user = readText(key, "User").value_or(std::string());
    source.password = readText(key, "Password").value_or(std::string());
    return source;
}

} // namespace

std::vector<ConfiguredSource> readConfiguredSources()
{
    std::vector<ConfiguredSource> sources;
    Dbscout::RegKey list;
    if (list.open(HKEY_CURRENT_USER, kSourcesKey) != ERROR_SUCCESS)
        return sources;
    char name[kMaxKeyName];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyName;
        if (RegEnumKeyExA(list.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Dbscout::RegKey key;
        if (key.open(list.get(), name) == ERROR_SUCCESS)
            sources.push_back(readSource(key.get()));
    }
    return sources;
}

std::string sourceAddressOf(const std::vector<ConfiguredSource>& sources, const std::string& text)
{
    for (const ConfiguredSource& source : sources) {
        if (text == source.name)
            return source.address;
        for (const char* suffix : kKindSuffixes) {
            if (text == source.name + suffix)
                return source.address;
        }
    }
    return text;
}
