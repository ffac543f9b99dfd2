#include "configured_sources.h"

#include "settings_values.h"

namespace {

constexpr const char* kSourcesKey =
    "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources";
constexpr SourceKind kKinds[] = {
    {"dnarna", " (DNA/RNA)"},    {"protein", " (Protein)"},   {"blast", " (Blast)"},
    {"citation", " (Citation)"}, {"analysis", " (Analyses)"},
};
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

// Addresses compare as the panel's entries do, with or without their closing '/'.
std::string withSlash(const std::string& address)
{
    return address.ends_with('/') ? address : address + '/';
}

} // namespace

std::span<const SourceKind> sourceKinds()
{
    return kKinds;
}

std::string kindAddress(const std::string& address, const std::string& keyword)
{
    const bool separated = address.ends_with('/') || address.ends_with(':');
    return address + (separated ? "" : "/") + keyword + "/";
}

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
        for (const SourceKind& kind : kKinds) {
            if (text == source.name + kind.suffix)
                return source.address;
        }
    }
    return text;
}

std::string sourceTextOf(const std::vector<ConfiguredSource>& sources, const std::string& address)
{
    for (const ConfiguredSource& source : sources) {
        for (const SourceKind& kind : kKinds) {
            if (kindAddress(source.address, kind.keyword) == address)
                return source.name + kind.suffix;
        }
    }
    return address;
}

std::string sourceNameOf(const std::vector<ConfiguredSource>& sources, const std::string& address)
{
    for (const ConfiguredSource& source : sources) {
        if (withSlash(source.address) == withSlash(address))
            return source.name;
    }
    return {};
}
