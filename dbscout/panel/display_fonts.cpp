#include "panel/display_fonts.h"

#include "platform/blanks.h"

#include <dbscout/registry.h>

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <optional>

namespace Dbscout {

namespace {

constexpr const char* kDirectoriesKey = "Software\\KORVALE, INC\\MOLB 10\\Molbench\\directories";
constexpr DWORD kValueBuffer = 64;
constexpr int kFaceNameMax = 31; // what a logical font's face-name field holds

struct Role
{
    const char* valueName;
    const char* defaultFace;
};

constexpr Role kRoles[4] = {
    {"font_table", "Tahoma"},
    {"font_text", "Tahoma"},
    {"font_header", "Tahoma"},
    {"font_mono", "Courier New"},
};

// Only a string that ends as its type requires and fits the buffer counts.
std::optional<std::string> readFaceValue(HKEY hive, const char* valueName)
{
    RegKey key;
    if (key.open(hive, kDirectoriesKey, KEY_READ) != ERROR_SUCCESS)
        return std::nullopt;
    BYTE data[kValueBuffer];
    DWORD size = kValueBuffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), valueName, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        if (size < 1 || data[size - 1] != 0)
            return std::nullopt;
    } else if (type == REG_MULTI_SZ) {
        if (size < 2 || data[size - 1] != 0 || data[size - 2] != 0)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(data));
}

struct FontEntry
{
    std::optional<QFont> font;
    bool lookedUp = false;
    bool useSystemFont = false;
};

// One cache per loaded component, released with it.
FontEntry g_fonts[4];

const QFont& systemGuiFont()
{
    static const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    return font;
}

} // namespace

bool GetFontFaceName(int role, std::string& face)
{
    if (role < 0 || role > 3)
        return false;
    std::optional<std::string> value = readFaceValue(HKEY_CURRENT_USER, kRoles[role].valueName);
    if (!value)
        value = readFaceValue(HKEY_LOCAL_MACHINE, kRoles[role].valueName);
    if (!value) {
        face = kRoles[role].defaultFace;
        return true;
    }
    if (*value == "<none>") {
        face = kRoles[role].defaultFace;
        return false;
    }
    face = trimmed(*value);
    return true;
}

const QFont* GetDisplayFont(int role)
{
    if (role < 0 || role > 3)
        return nullptr;
    FontEntry& entry = g_fonts[role];
    if (!entry.lookedUp) {
        std::string face;
        if (GetFontFaceName(role, face)) {
            QFont font = systemGuiFont();
            font.setFamilies(QStringList{QString::fromLocal8Bit(face.substr(0, kFaceNameMax))});
            entry.font = font;
        } else {
            entry.useSystemFont = true;
        }
        entry.lookedUp = true;
    }
    return entry.useSystemFont ? &systemGuiFont() : &*entry.font;
}

} // namespace Dbscout
