#include "operations/access_modes.h"

#include "resources/ids.h"

namespace Dbscout {

namespace {

constexpr char kModeChars[] = {'-', 'r', 'w'};

int levelOf(char modeChar)
{
    for (int level = kLevelNone; level <= kLevelFull; ++level) {
        if (kModeChars[level] == modeChar)
            return level;
    }
    return kLevelMixed;
}

char charOf(int level)
{
    return level >= kLevelNone && level <= kLevelFull ? kModeChars[level] : '*';
}

} // namespace

void MergeModeChar(int& level, char modeChar)
{
    const int merged = levelOf(modeChar);
    if (level == kLevelUnmerged)
        level = merged;
    else if (level != merged)
        level = kLevelMixed;
}

void mergeMode(const std::string& mode, AccessLevels& levels)
{
    // A NUL is no mode character, so it stands for a position past the end.
    const auto at = [&mode](size_t i) { return i < mode.size() ? mode[i] : '\0'; };
    MergeModeChar(levels.owner, at(0));
    MergeModeChar(levels.group, at(1));
    MergeModeChar(levels.other, at(2));
}

std::string buildModeString(const AccessLevels& levels)
{
    return {charOf(levels.owner), charOf(levels.group), charOf(levels.other)};
}

bool CollectObjectModes(const std::vector<const ResultRow*>& selection, ObjectModes& modes)
{
    modes = ObjectModes();
    if (selection.empty())
        return false;
    for (size_t i = 0; i < selection.size(); ++i) {
        const ResultRow* row = selection[i];
        if (!row)
            return false;
        if (row->mode.empty()) {
            modes.refusalId = IDS_PERMISSION_DENIED;
            return false;
        }
        if (!row->checkoutBy.empty()) {
            modes.refusalId = IDS_CHECKED_OUT_ACCESS_DENIED;
            return false;
        }
        mergeMode(row->mode, modes.levels);
        modes.objectPath += row->id;
        if (i + 1 < selection.size())
            modes.objectPath += ',';
        if (modes.displayName.empty())
            modes.displayName = row->name + (selection.size() > 1 ? "..." : "");
    }
    return true;
}

} // namespace Dbscout
