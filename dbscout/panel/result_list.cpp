// The result list: filling it from an answered listing, the subset box, the status line and the
// histories.

#include "panel/scout_panel.h"

#include "document/object_kinds.h"
#include "panel/panel_metrics.h"
#include "panel/result_item.h"
#include "platform/ascii_case.h"
#include "platform/modal.h"
#include "platform/registered_messages.h"
#include "resources/images.h"
#include "resources/strings.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>

using namespace Dbscout;

namespace {

constexpr int kServerSubsetImage = ImageIndex::Subset;
constexpr int kQueryImage = ImageIndex::Query;
constexpr int kTypedAddressImage = ImageIndex::Address;

bool isOk(const std::string& status)
{
    return equalsAsciiNoCase(status, "OK");
}

// Overlay 1 to 3 for a row, or 0 for none.
int overlayOf(const ResultRow& row)
{
    if (row.checkoutBy.empty())
        return row.writable ? 0 : 1;
    return row.writable ? 2 : 3;
}

QString local(const std::string& text)
{
    return QString::fromLocal8Bit(text);
}

} // namespace

void CScoutPanel::OnMarkupDone(WPARAM, LPARAM lParam)
{
    // Only a job this panel holds is looked into: the address may be anything else, a job long
    // deleted included.
    const auto* job = reinterpret_cast<const CScoutRequest*>(lParam);
    if (m_pListJob && job == m_pListJob.get()) {
        holdListPainting(false);
        auto* page = static_cast<ResultPage*>(job->response());
        showListPage(*page, job->errorText());
        ApplyTableLayout();
        // Laid out now, the list shows its scroll bar before its first paint rather than after
        // it, which would paint every row twice.
        m_list->doItemsLayout();
        setCursor(Qt::ArrowCursor);
        m_pListJob.reset();
        m_checkOptionsArmed = m_nServerVersion > 1 ? 1 : 0;
        m_subsetJobAtPaint = m_subsetJobWaiting; // once the user sees this answer
    } else if (m_pSubsetJob && job == m_pSubsetJob.get()) {
        showSubsetPage(*static_cast<ResultPage*>(job->response()));
        m_pSubsetJob.reset();
    }
    // Any other address is ignored: a retired job (allocated until the panel goes), or null.
}

void CScoutPanel::showListPage(ResultPage& page, const std::string& errorText)
{
    ClearList();
    m_nTotalCount = page.totalFound;
    char status[400];
    std::snprintf(status, sizeof status, LoadString(IDS_OBJECTS_FOUND_STATUS).c_str(),
                  page.totalFound, page.firstNumber, page.pageSize);
    m_stStatus->setText(local(status));

    if (!isOk(page.status)) {
        std::string text = page.message.empty() ? errorText : page.message;
        const std::string caption =
            page.messageTitle.empty() ? LoadString(IDS_MOLB_PROTOCOL_ERROR) : page.messageTitle;
        ShowError(this, text, caption.c_str());
        return;
    }
    m_nServerVersion = page.versionMajor;
    if (!dataTypeAccepts(m_nDataType, kindCodeOfTitle(page.title))) {
        std::string text = LoadString(IDS_WRONG_DATA_TYPE);
        ShowError(this, text);
        return;
    }
    noteSourceAnswered();
    fillQueryBox(page);
    fillColumnsAndRows(page);
}

void CScoutPanel::noteSourceAnswered()
{
    if (!m_bSourceFromList) {
        const int index = AddComboEntry(true, m_cbDataSource, m_strSourceURL, kTypedAddressImage);
        m_cbDataSource->setCurrentIndex(index);
        m_dsHistory.erase(std::remove(m_dsHistory.begin(), m_dsHistory.end(), m_strSourceURL),
                          m_dsHistory.end());
        m_dsHistory.insert(m_dsHistory.begin(), m_strSourceURL);
    }
    m_bLastOpenFromList = m_bSourceFromList ? 1 : 0;
    m_strLastOpenURL = m_strSourceURL;
}

void CScoutPanel::fillQueryBox(const ResultPage& page)
{
    if (m_cbQuery->count() == 0)
        for (const std::string& query : queriesOf(m_queryHistory, m_strSourceURL))
            AddComboEntry(false, m_cbQuery, query, kQueryImage);

    m_strCaptionQuery = page.caption.name;
    if (!m_strCaptionQuery.empty()) {
        m_strQuery = m_strCaptionQuery;
        const int index = AddComboEntry(false, m_cbQuery, m_strQuery, kServerSubsetImage);
        SetComboEntryData(index, page.caption);
        const int exact = m_cbQuery->findText(local(m_strQuery), Qt::MatchFixedString);
        m_cbQuery->setCurrentIndex(exact >= 0 ? exact : index);
    } else {
        const int index = AddComboEntry(true, m_cbQuery, m_strQuery, kQueryImage);
        if (index >= 0)
            m_cbQuery->setCurrentIndex(index);
    }
    recordQuery(m_queryHistory, m_strSourceURL, m_strQuery);
}

void CScoutPanel::fillColumnsAndRows(ResultPage& page)
{
    QStringList headers;
    for (const std::string& column : page.columns)
        headers << local(column);
    m_list->setColumnCount(int(headers.size()));
    m_list->setHeaderLabels(headers);
    for (int i = 0; i < headers.size(); ++i)
        m_list->setColumnWidth(i, kResultColumnWidth);

    const int image = rowImageOfTitle(page.title);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(page.rows.size()));
    // The rows move into the items: the page goes with its job.
    for (ResultRow& pageRow : page.rows) {
        const QIcon icon = rowIcon(image, overlayOf(pageRow));
        items << new ResultItem(std::move(pageRow), icon);
    }
    m_list->addTopLevelItems(items);
}

void CScoutPanel::showSubsetPage(const ResultPage& page)
{
    if (!isOk(page.status) || page.subsets.empty())
        return;
    ClearComboEntries();
    for (const SubsetEntry& subset : page.subsets) {
        if (subset.name.empty())
            continue;
        const int index = AddComboEntry(false, m_cbQuery, subset.name, kServerSubsetImage);
        SetComboEntryData(index, subset);
        if (!m_strCaptionQuery.empty() && subset.name == m_strCaptionQuery)
            m_cbQuery->setCurrentIndex(index);
    }
}

QIcon CScoutPanel::rowIcon(int image, int overlay)
{
    if (image < 0 || image >= m_ilList.size())
        return QIcon();
    const int key = image * 16 + overlay; // overlays are few
    const auto made = m_rowIcons.constFind(key);
    if (made != m_rowIcons.constEnd())
        return *made;
    QPixmap composed = m_ilList[image];
    if (overlay != 0) {
        QPainter painter(&composed);
        painter.drawPixmap(0, 0, m_ilList.value(ImageIndex::OverlayReadOnly + overlay - 1));
    }
    return m_rowIcons.insert(key, QIcon(composed)).value();
}

int CScoutPanel::AddComboEntry(bool bAtTop, QComboBox* combo, const std::string& text, int nImage)
{
    if (text.empty())
        return -1;
    const QString entry = local(text);
    const int found = combo->findText(entry, Qt::MatchFixedString); // letter case ignored
    if (found >= 0)
        return found;
    // Inserting never changes which entry is selected, nor the text typed in the box.
    const QString editText = combo->currentText();
    const int selected = combo->currentIndex();
    const int index = bAtTop ? 0 : combo->count();
    combo->insertItem(index, m_ilCombo.value(nImage), entry);
    combo->setCurrentIndex(selected < 0 ? -1 : (bAtTop ? selected + 1 : selected));
    // Set again only where it changed: setting it moves the cursor and repaints the box.
    if (combo->currentText() != editText)
        combo->setEditText(editText);
    return index;
}

void CScoutPanel::SetComboEntryData(int nIndex, const SubsetEntry& entry)
{
    if (nIndex >= 0)
        m_cbQuery->setItemData(nIndex, QVariant::fromValue(entry));
}

void CScoutPanel::ClearComboEntries()
{
    const QString editText = m_cbQuery->currentText();
    m_cbQuery->clear();
    m_cbQuery->setEditText(editText);
}

bool CScoutPanel::queryEntryIsServerSubset() const
{
    const int index = m_cbQuery->currentIndex();
    if (index < 0)
        return false;
    const QVariant data = m_cbQuery->itemData(index);
    return data.canConvert<SubsetEntry>() && !data.value<SubsetEntry>().name.empty();
}
