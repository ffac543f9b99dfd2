#pragma once
// Access rights of the selected objects or of the current subset (dialog 6927): one list per
// class of users, each offering the levels of access-modes.h by index. A list without selection
// stands for a class whose level is mixed or unknown, which the request leaves unchanged.

#include "operations/access_modes.h"
#include "platform/modal_dialog.h"

#include <string>

class QComboBox;
class QLabel;

namespace Dbscout {

class CAccessRightsDlg final : public CModalDialog
{
    Q_OBJECT
public:
    // Levels outside 0 to 2 leave their list without a selection.
    CAccessRightsDlg(QWidget* parent, bool forObjects, std::string targetName, int ownerLevel,
                     int groupLevel, int otherLevel);

    // Read back on "&Set access": the selected index of each list, -1 where none.
    int ownerLevel;
    int otherLevel;
    int groupLevel;
    bool forObjects;        // the selected objects, not the current subset
    std::string targetName; // shown after the caption's text

    AccessLevels levels() const { return {ownerLevel, groupLevel, otherLevel}; }

protected:
    void OnInitDialog() override;
    bool OnOK() override;

private:
    QComboBox* makeLevelList(int id);

    QComboBox* m_owner;
    QComboBox* m_group;
    QComboBox* m_other;
    QLabel* m_explanation;
};

} // namespace Dbscout
