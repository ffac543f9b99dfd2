// The browse cycle: turning the panel's place (data source, subset or query, page) into a listing
// request, and keeping the object-list and subset-list jobs.

#include "panel/scout_panel.h"

#include "hostlibs/data_source_list.h"
#include "panel/goto_dialog.h"
#include "panel/panel_metrics.h"
#include "request/handler_command.h"
#include "request/list_url.h"
#include "resources/texts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <limits>

using namespace Dbscout;

namespace {

// The longest the subset names wait for the object list, in milliseconds.
constexpr int kSubsetJobDelay = 100;
// The longest the list and the status line go unpainted while a list is on its way, in
// milliseconds: two frames.
constexpr int kPaintHoldDelay = 33;

std::string comboText(const QComboBox* combo)
{
    const QString selected =
        combo->currentIndex() >= 0 ? combo->itemText(combo->currentIndex()) : QString();
    return comboBoxText(combo->currentText().toLocal8Bit().toStdString(),
                        selected.toLocal8Bit().toStdString());
}

// What the status line shows while a request runs: the text between the URL's first two double
// quotes, which ordinary URLs do not have.
std::string quotedPart(const std::string& url)
{
    const size_t first = url.find('"');
    if (first == std::string::npos)
        return std::string();
    const size_t second = url.find('"', first + 1);
    if (second == std::string::npos)
        return std::string();
    return url.substr(first + 1, second - first - 1);
}

} // namespace

int CScoutPanel::Browse(bool bRefreshSubsets)
{
    CaptureTableLayout();
    return StartListRequest(BuildListUrl(nullptr), bRefreshSubsets);
}

std::string CScoutPanel::BuildListUrl(const std::string* objectPath)
{
    ListUrlInput input;
    if (!m_strPendingSource.empty())
        input.source.pendingAddress = m_strPendingSource;
    if (const CDataSourceDesc* source = selectedSource()) {
        input.source.hasDescriptor = true;
        input.source.descriptorUrl = source->m_strAddress;
        input.source.descriptorLogin = source->m_bHasLogin != 0;
        input.source.descriptorUser = source->m_strUser;
        input.source.descriptorPassword = source->GetPassword();
        input.source.descriptorFlagA = source->m_bFlagA != 0;
    }
    input.source.boxText = comboText(m_cbDataSource);
    input.queryBoxText = comboText(m_cbQuery);
    input.pageStart = m_nPageStart;
    input.pageSize = m_nPageSize;
    input.openMode = m_bOpenMode != 0;

    ListUrlResult result = Dbscout::BuildListUrl(input, objectPath);
    m_strSourceURL = result.sourceUrl;
    m_bSourceFromList = result.sourceFromList;
    m_pCurrentSource = result.sourceFromList ? selectedSource() : nullptr;
    if (result.pendingUsed)
        m_strPendingSource.clear();
    m_strUser = result.user;
    m_strPassword = result.password;
    m_strQuery = result.query;
    m_list->setSelectionMode(result.singleSelection ? QAbstractItemView::SingleSelection
                                                    : QAbstractItemView::ExtendedSelection);
    return result.url;
}

std::string CScoutPanel::listUrl(const std::string& objectPath)
{
    return BuildListUrl(&objectPath);
}

bool CScoutPanel::startListRequest(const std::string& url)
{
    return StartListRequest(url, false) != 0;
}

std::unique_ptr<CScoutRequest> CScoutPanel::makeJob(const std::string& url)
{
    const std::string& command = handlerCommandForUrl(url, m_strMolbHandler, m_strNcbiHandler);
    return std::make_unique<CScoutRequest>(std::make_unique<ResultPage>(), this,
                                           HandlerProgramPath(command),
                                           HandlerArguments(command, url), nullptr, 0);
}

void CScoutPanel::retireJob(std::unique_ptr<CScoutRequest>& job)
{
    if (!job)
        return;
    if (job == m_pSubsetJob) {
        m_subsetJobWaiting = false; // never started, it never posts
        m_subsetJobAtPaint = false;
    }
    // A stopped job still posts its completion later; it must stay allocated until then.
    job->Stop();
    m_retiredJobs.push_back(std::move(job));
}

int CScoutPanel::StartListRequest(const std::string& url, bool bRefreshSubsets)
{
    if (url.empty())
        return 0;
    ShowRequestStarted(quotedPart(url));
    std::unique_ptr<CScoutRequest> job = makeJob(url);
    retireJob(m_pListJob);
    m_pListJob = std::move(job);
    m_pListJob->Start();
    if (bRefreshSubsets && StartSubsetRequest(url)) {
        // Emptied now and filled with the answer: held with the list, it is painted once.
        m_cbQuery->setUpdatesEnabled(false);
        ClearComboEntries();
    }
    return 1;
}

int CScoutPanel::StartSubsetRequest(const std::string& listUrl)
{
    const size_t slash = listUrl.rfind('/');
    if (slash == std::string::npos || slash < 1)
        return 0;
    const std::optional<std::string> url =
        BuildSubsetListUrl(listUrl, m_strUser, m_strPassword, m_bOpenMode != 0);
    if (!url)
        return 0;
    std::unique_ptr<CScoutRequest> job = makeJob(*url);
    retireJob(m_pSubsetJob);
    m_pSubsetJob = std::move(job);
    startSubsetJobAfterList();
    return 1;
}

// The subset names wait for the object list the user is waiting for: run side by side, their
// handler competes with the list's handler for the processor and the store, and then with the
// list's painting. They start once the list is painted with its answer, or after
// kSubsetJobDelay when the list takes longer or is not painted (a hidden or minimised host).
void CScoutPanel::startSubsetJobAfterList()
{
    if (!m_pListJob) {
        m_pSubsetJob->Start();
        return;
    }
    m_subsetJobWaiting = true;
    QTimer::singleShot(kSubsetJobDelay, this, [this] { startWaitingSubsetJob(); });
}

void CScoutPanel::onListPainting()
{
    if (!m_subsetJobAtPaint)
        return;
    m_subsetJobAtPaint = false;
    // Queued: started once this paint is done. A Go meanwhile makes another job, which waits
    // for its own list.
    QMetaObject::invokeMethod(
        this,
        [this, job = m_pSubsetJob.get()] {
            if (job == m_pSubsetJob.get())
                startWaitingSubsetJob();
        },
        Qt::QueuedConnection);
}

void CScoutPanel::startWaitingSubsetJob()
{
    if (!m_subsetJobWaiting || !m_pSubsetJob)
        return;
    m_subsetJobWaiting = false;
    m_subsetJobAtPaint = false;
    m_pSubsetJob->Start();
}

void CScoutPanel::StopRequests()
{
    holdListPainting(false);
    if (m_pListJob || m_pSubsetJob)
        ClearList();
    setCursor(Qt::ArrowCursor);
    retireJob(m_pListJob);
    retireJob(m_pSubsetJob);
}

// A list that answers within a moment is painted once, filled: painting "Downloading..." first
// would take the processor from the handler while it starts, for a state nobody could see.
void CScoutPanel::ShowRequestStarted(const std::string& text)
{
    holdListPainting(true);
    QTimer::singleShot(kPaintHoldDelay, this, [this] { holdListPainting(false); });
    setCursor(Qt::BusyCursor);
    m_list->setFocus();
    ClearList(1);
    m_list->setColumnWidth(0, kDownloadingColumnWidth);
    auto* downloading = new QTreeWidgetItem(m_list);
    downloading->setText(0, QString::fromUtf8(Texts::DownloadingRow));
    if (!text.empty())
        m_stStatus->setText(QString::fromLocal8Bit(text));
}

void CScoutPanel::holdListPainting(bool hold)
{
    // The Subset/Query box is held only by a request that empties it (StartListRequest).
    for (QWidget* widget : {static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_stStatus),
                            hold ? nullptr : static_cast<QWidget*>(m_cbQuery)})
        if (widget)
            widget->setUpdatesEnabled(!hold);
}

void CScoutPanel::ClearList(int keptColumns)
{
    // Written when they differ from what this panel wrote last: a listing that changed no
    // layout costs no write, and leaves alone what another panel on the same key wrote since.
    // One that failed is tried again at the next listing.
    if (m_savedTableSettings != m_tableSettings &&
        noteSettingsWrite(saveTableLayouts(m_hSettingsKey, m_tableSettings), "table layouts"))
        m_savedTableSettings = m_tableSettings;
    m_nSortColumn = -1;
    m_bSortAscending = 0;
    m_nTotalCount = 0;
    if (m_stStatus)
        m_stStatus->clear();
    if (m_list) {
        m_list->clear(); // the rows take their row data with them
        // A column kept keeps nothing of its past but its place: no title, no sort image.
        m_list->setHeaderItem(new QTreeWidgetItem(QStringList(keptColumns, QString())));
    }
}

void CScoutPanel::onGo()
{
    m_nPageStart = 0;
    Browse(true);
}

void CScoutPanel::onEnter()
{
    // The focus within this window, whether or not the window is active right now. An
    // editable box takes the focus itself and hands the keys to its edit field.
    QWidget* focus = window()->focusWidget();
    const auto inBox = [focus](QComboBox* box) {
        return focus && (focus == box || box->isAncestorOf(focus));
    };
    const bool inBoxEdit = inBox(m_cbQuery) || inBox(m_cbDataSource);
    if (inBoxEdit)
        Browse(true);
    else
        NotifyItemSelected(true);
}

void CScoutPanel::onPreviousPage()
{
    m_nPageStart = std::max(0, m_nPageStart - m_nPageSize);
    Browse(false);
}

void CScoutPanel::onNextPage()
{
    // No upper limit but the largest start a request can carry.
    m_nPageStart = int(std::min<long long>(std::numeric_limits<int>::max(),
                                           (long long)m_nPageStart + m_nPageSize));
    Browse(false);
}

void CScoutPanel::onGoTo()
{
    int start = m_nPageStart;
    int size = m_nPageSize;
    if (!runGotoDialog(this, start, size, m_nTotalCount))
        return;
    m_nPageSize = size;
    m_nPageStart = start;
    Browse(false);
}

void CScoutPanel::onDataSourceChosen()
{
    m_nServerVersion = 1;
    m_nPageStart = 0;
    ClearComboEntries();
    m_cbQuery->setEditText(QString());
    m_strQuery.clear();
    m_strPendingSource.clear();
    Browse(true);
}

void CScoutPanel::onQueryChosen()
{
    m_strPendingSource.clear();
    m_nPageStart = 0;
    Browse(false);
}
