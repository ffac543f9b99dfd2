#include "settings/options_dialog.h"

#include "resources/texts.h"
#include "settings/options_pages.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Dbscout {

namespace {

// What the pages show: descendant handling only where the server knows it.
COptionsCheckoutPP::Values checkoutValues(const PanelOptions& options, bool withDescendants)
{
    return {options.CHECKOUT_ON_OPEN != 0, withDescendants && options.CHECKOUT_ON_OPEN_DESC != 0,
            options.CHECKIN_ON_SAVE != 0, withDescendants && options.CHECKIN_ON_SAVE_DESC != 0};
}

} // namespace

COptionsDlg::COptionsDlg(const PanelOptions& options, int serverVersion, QWidget* parent)
    : CModalDialog(parent, IDD_OPTIONS), m_options(options), m_nServerVersion(serverVersion)
{
    setWindowTitle(QString::fromUtf8(Texts::OptionsCaption));
    const bool withDescendants = serverVersion >= 3;
    const PanelOptions defaults;
    m_checkoutPage =
        new COptionsCheckoutPP(checkoutValues(options, withDescendants), serverVersion);
    m_savePage = new COptionsSavePP(
        int(withDescendants ? options.ON_SAVE_RECALC_DESC : defaults.ON_SAVE_RECALC_DESC),
        int(withDescendants ? options.ON_SAVE_LEAVE_ON_ERROR : defaults.ON_SAVE_LEAVE_ON_ERROR),
        serverVersion);

    // The sheet takes the place of the frame that marks where it goes, and its id.
    auto* sheet = new QTabWidget;
    sheet->setObjectName(QString::number(IDC_OPTIONS_FRAME));
    sheet->addTab(m_checkoutPage, m_checkoutPage->windowTitle());
    sheet->addTab(m_savePage, m_savePage->windowTitle());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheet);
    layout->addLayout(makeButtonRow(Texts::Ok, Texts::Cancel));
}

bool COptionsDlg::OnOK()
{
    const COptionsCheckoutPP::Values& checks = m_checkoutPage->values();
    m_options.CHECKIN_ON_SAVE = checks.checkinOnSave;
    m_options.CHECKOUT_ON_OPEN = checks.checkoutOnOpen;
    if (m_nServerVersion >= 3) {
        m_options.CHECKIN_ON_SAVE_DESC = checks.checkinDesc;
        m_options.CHECKOUT_ON_OPEN_DESC = checks.checkoutDesc;
        m_options.ON_SAVE_RECALC_DESC = uint32_t(m_savePage->recalcDesc());
        m_options.ON_SAVE_LEAVE_ON_ERROR = uint32_t(m_savePage->leaveOnError());
    }
    return true;
}

bool runOptionsDialog(QWidget* parent, HKEY settingsKey, int serverVersion, PanelOptions& options)
{
    LoadOptions(settingsKey, options);
    COptionsDlg dialog(options, serverVersion, parent);
    if (dialog.doModal() != QDialog::Accepted)
        return true;
    options = dialog.options();
    return SaveOptions(settingsKey, options);
}

} // namespace Dbscout
