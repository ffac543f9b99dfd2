#pragma once
// The Options dialog: the "Check In/Out" and "Save" pages on tabs, OK and Cancel. It keeps its own
// copy of the options; OK takes from the pages only what the server version lets them change, so
// values an older server cannot use survive untouched.

#include "platform/modal_dialog.h"
#include "settings/options.h"

namespace Dbscout {

class COptionsCheckoutPP;
class COptionsSavePP;

class COptionsDlg final : public CModalDialog
{
    Q_OBJECT
public:
    // Below server version 3 the pages show the descendant boxes unchecked and the save choices
    // at their defaults, whatever options holds.
    COptionsDlg(const PanelOptions& options, int serverVersion, QWidget* parent = nullptr);

    // The options as OK left them (as given until then).
    const PanelOptions& options() const { return m_options; }

protected:
    bool OnOK() override;

private:
    PanelOptions m_options;
    int m_nServerVersion;
    COptionsCheckoutPP* m_checkoutPage;
    COptionsSavePP* m_savePage;
};

// The panel's Options command: reloads options from the store under settingsKey (dropping unsaved
// changes, even when the user then cancels), runs the dialog through the modal seam, and on OK
// copies the dialog's values into options and saves them. False when saving them failed (the
// options in memory are the chosen ones all the same).
bool runOptionsDialog(QWidget* parent, HKEY settingsKey, int serverVersion, PanelOptions& options);

} // namespace Dbscout
