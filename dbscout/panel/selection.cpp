// Selection: clicks and keys that move the selection fill the object-name box, a double click or
// Enter tells the host, and GetURL hands the host the picked object's request URL.

#include "panel/scout_panel.h"

#include "hostlibs/data_source_list.h"
#include "panel/result_item.h"
#include "platform/registered_messages.h"
#include "request/object_url.h"
#include "request/url_params.h"
#include "resources/strings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

using namespace Dbscout;

std::vector<const ResultRow*> CScoutPanel::selectedRows() const
{
    std::vector<const ResultRow*> rows;
    for (int i = 0; m_list && i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->isSelected())
            rows.push_back(rowData(item));
    }
    return rows;
}

std::optional<SubsetEntry> CScoutPanel::currentSubsetEntry() const
{
    // Text typed over the selected entry leaves the box without a selected entry.
    const int index = m_cbQuery ? m_cbQuery->currentIndex() : -1;
    if (index < 0 || m_cbQuery->itemText(index) != m_cbQuery->currentText())
        return std::nullopt;
    const QVariant data = m_cbQuery->itemData(index);
    if (!data.canConvert<SubsetEntry>())
        return std::nullopt;
    return data.value<SubsetEntry>();
}

std::string CScoutPanel::currentUserName() const
{
    if (m_pCurrentSource && !m_pCurrentSource->m_strUser.empty())
        return m_pCurrentSource->m_strUser;
    std::string url = m_strSourceURL;
    std::string user;
    std::string password;
    SplitUrlCredentials(url, user, password);
    return user;
}

void CScoutPanel::onListClick()
{
    if (m_pListJob || m_bNameLocked)
        return;
    const QString placeholder = QString::fromLocal8Bit(LoadString(IDS_ENTER_QUERY));
    QStringList ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (!item->isSelected() || item->text(0) == placeholder)
            continue;
        const ResultRow* row = rowData(item);
        ids << (row ? QString::fromLocal8Bit(row->id) : QString());
    }
    m_edName->setText(ids.join(','));
}

void CScoutPanel::onListDoubleClick(QTreeWidgetItem* item)
{
    if (m_pListJob || m_bNameLocked || !item)
        return;
    const ResultRow* row = rowData(item);
    if (!row)
        return;
    if ((row->writable && !m_bOpenMode) || (row->readable && m_bOpenMode))
        OpenItem(*row);
}

void CScoutPanel::OpenItem(const ResultRow& row)
{
    if (m_nServerVersion <= 1) {
        NotifyItemSelected(true);
        return;
    }
    if (!((row.writable && !m_bOpenMode) || (row.readable && m_bOpenMode)))
        return;
    if (!row.checkoutBy.empty() && row.checkoutBy != m_strUser)
        return; // held by someone else
    const ObjectUrlOptions options = objectOptions();
    if (m_bOpenMode) {
        NotifyItemSelected(true);
        if (options.checkoutOnOpen && row.checkoutBy.empty())
            m_checkOptionsArmed = 1;
        return;
    }
    if (!queryEntryIsServerSubset())
        return;
    if (options.checkinOnSave)
        m_checkOptionsArmed = 1;
    NotifyItemSelected(true);
}

void CScoutPanel::NotifyItemSelected(bool bForce)
{
    if (!m_checkOptionsArmed && !bForce)
        return;
    QWidget* dbscoutWindow = parentWidget();
    QWidget* hostWindow = dbscoutWindow ? dbscoutWindow->parentWidget() : nullptr;
    if (hostWindow)
        SendMessageA(hostWindow, UM_DBSCOUT_ITEM_SELECTED, WPARAM(-1), 0);
    m_checkOptionsArmed = 0;
}

ObjectUrlOptions CScoutPanel::objectOptions() const
{
    ObjectUrlOptions options;
    options.checkoutOnOpen = m_options.CHECKOUT_ON_OPEN != 0;
    options.checkoutOnOpenDesc = m_options.CHECKOUT_ON_OPEN_DESC != 0;
    options.checkinOnSave = m_options.CHECKIN_ON_SAVE != 0;
    options.checkinOnSaveDesc = m_options.CHECKIN_ON_SAVE_DESC != 0;
    options.onSaveRecalcDesc = int(m_options.ON_SAVE_RECALC_DESC);
    options.onSaveLeaveOnError = int(m_options.ON_SAVE_LEAVE_ON_ERROR);
    return options;
}

BOOL CScoutPanel::GetURL(std::string& strURL, int& nFlag, std::string& strName)
{
    nFlag = (m_pCurrentSource && m_pCurrentSource->m_bFlagB == 0) ? 1 : 0;
    if (!m_edName)
        return FALSE;
    ObjectUrlInput input;
    input.nameBoxText = m_edName->text().toLocal8Bit().toStdString();
    input.sourceUrl = m_strSourceURL;
    input.query = m_strQuery;
    input.user = m_strUser;
    input.password = m_strPassword;
    input.openMode = m_bOpenMode != 0;
    input.serverVersion = m_nServerVersion;
    input.checkOptionsArmed = m_checkOptionsArmed != 0;
    input.options = objectOptions();
    const std::optional<ObjectUrl> url = BuildObjectUrl(input);
    if (!url)
        return FALSE;
    strURL = url->url;
    strName = url->name;
    return TRUE;
}
