#pragma once
// Access modes of objects and subsets: three characters for owner, group and other, each '-'
// (no access), 'r' (read only) or 'w' (full). The access-rights dialog shows one level per class,
// merged over every object it changes.

#include "document/result_page.h"

#include <string>
#include <vector>

namespace Dbscout {

// Levels of one class. A level of 0, 1 or 2 is also the index of its entry in the dialog's lists.
constexpr int kLevelUnmerged = -2; // nothing merged yet
constexpr int kLevelMixed = -1;    // the objects disagree, or a character was not understood
constexpr int kLevelNone = 0;
constexpr int kLevelRead = 1;
constexpr int kLevelFull = 2;

struct AccessLevels
{
    int owner = kLevelUnmerged;
    int group = kLevelUnmerged;
    int other = kLevelUnmerged;
};

// Merges one mode character into level: an unmerged level takes the character's level, an equal
// one stays, any other becomes (and stays) mixed. Characters other than '-', 'r', 'w' are mixed.
void MergeModeChar(int& level, char modeChar);

// Merges the first three characters of mode into the three classes; a position past the end of
// mode counts as a character not understood.
void mergeMode(const std::string& mode, AccessLevels& levels);

// The mode string of a request: '-', 'r' or 'w' for a class with a level of 0 to 2, '*' (leave
// unchanged) for a class without one.
std::string buildModeString(const AccessLevels& levels);

// What a change of access to the selected objects starts from.
struct ObjectModes
{
    AccessLevels levels;
    std::string objectPath;  // the ids, joined by ','
    std::string displayName; // the first object's name, with "..." when several are selected
    int refusalId = 0;       // the string to show when the change is refused; 0 for none
};

// Walks the selection (selected rows in list order; null for a row without row data) and merges
// their modes. Returns false when the change may not go ahead: for an empty selection or a row
// without data silently, for an object without mode or one that somebody holds checked out with
// refusalId set, the first offending row deciding which.
bool CollectObjectModes(const std::vector<const ResultRow*>& selection, ObjectModes& modes);

} // namespace Dbscout
