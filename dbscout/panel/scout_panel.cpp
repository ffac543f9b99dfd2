#include "panel/scout_panel.h"

#include "operations/menu_toolbar.h"
#include "panel/accelerators.h"
#include "panel/display_fonts.h"
#include "panel/panel_metrics.h"
#include "panel/result_item.h"
#include "panel/result_list_delegate.h"
#include "panel/result_list_header.h"
#include "panel/result_list_scroll_bar.h"
#include "panel/result_list_view.h"
#include "platform/modal.h"
#include "platform/registered_messages.h"
#include "platform/registry_batch.h"
#include "request/handler_command.h"
#include "resources/ids.h"
#include "resources/images.h"
#include "resources/strings.h"
#include "resources/texts.h"
#include "settings/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

using namespace Dbscout;

namespace {

constexpr int IDCANCEL = 2;
// How many typed data-source addresses are kept from one run to the next.
constexpr int kDataSourceHistoryKept = 10;

template <typename Control> Control* makeControl(QWidget* parent, int id)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::number(id));
    return control;
}

QLabel* makeLabel(QWidget* parent, int id, const char* text, QWidget* buddy)
{
    auto* label = makeControl<QLabel>(parent, id);
    label->setText(QString::fromUtf8(text));
    label->setBuddy(buddy);
    return label;
}

} // namespace

CScoutPanel::CScoutPanel(QWidget* parent, const char* pszInitial, HKEY hSettingsKey, int bOpenMode,
                         int nDataType, int bLockName, int bInitialIsName)
    : QWidget(parent), m_strInitial(pszInitial ? pszInitial : ""), m_nDataType(nDataType),
      m_bOpenMode(bOpenMode), m_bLockName(bLockName), m_bInitialIsName(bInitialIsName),
      m_hSettingsKey(hSettingsKey)
{
    setObjectName(QString::number(IDD_SCOUTPANE));
    hide();
}

CScoutPanel::~CScoutPanel()
{
    StopRequests();
    // Deleting a job waits for a run in progress; their late messages die with this object.
    m_retiredJobs.clear();
}

void CScoutPanel::Create(QWidget* parent)
{
    if (m_windowCreated)
        return;
    setParent(parent);
    createControls();
    applyLocalCopyBox();
    m_windowCreated = true;
    OnInitDialog();
    show();
}

void CScoutPanel::createControls()
{
    m_cbDataSource = makeControl<QComboBox>(this, IDC_DATASOURCE);
    m_cbDataSource->setEditable(true);
    m_cbDataSource->setInsertPolicy(QComboBox::NoInsert);
    m_cbQuery = makeControl<QComboBox>(this, IDC_QUERY);
    m_cbQuery->setEditable(true);
    m_cbQuery->setInsertPolicy(QComboBox::NoInsert);
    m_stStatus = makeControl<QLabel>(this, IDC_STATUS);
    m_stStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_btnGo = makeControl<QPushButton>(this, IDC_GO);
    m_btnGo->setText(QString::fromUtf8(Texts::GoButton));
    m_stFilterLabel = makeLabel(this, IDC_FILTER_LABEL, Texts::FilterLabel, m_cbQuery);
    auto* list = makeControl<ResultListView>(this, IDC_LIST);
    // A selection the keys moved shows in the name box as a clicked one does.
    list->setSelectionMovedByKey([this] { onListClick(); });
    m_list = list;
    m_edName = makeControl<QLineEdit>(this, IDC_NAME);
    m_stNameLabel = makeLabel(this, IDC_NAME_LABEL, Texts::NameLabel, m_edName);
    m_stSourceLabel = makeLabel(this, IDC_SOURCE_LABEL, Texts::DataSourceLabel, m_cbDataSource);
    m_chkLocalCopy = makeControl<QCheckBox>(this, IDC_LOCAL_COPY);
    m_chkLocalCopy->setText(QString::fromUtf8(Texts::LocalCopyCheck));
    m_chkLocalCopy->hide();

    // The three labels share the width of the widest, so the boxes line up.
    int labelWidth = 0;
    for (QLabel* label : {m_stSourceLabel, m_stFilterLabel, m_stNameLabel})
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QLabel* label : {m_stSourceLabel, m_stFilterLabel, m_stNameLabel})
        label->resize(labelWidth, m_cbDataSource->sizeHint().height());
    const int rowHeight = m_cbDataSource->sizeHint().height();
    m_cbDataSource->resize(m_cbDataSource->width(), rowHeight);
    m_cbQuery->resize(m_cbQuery->width(), rowHeight);
    m_btnGo->resize(std::max(kGoButtonMinWidth, m_btnGo->sizeHint().width()), rowHeight);
    m_edName->resize(m_edName->width(), m_edName->sizeHint().height());
    m_stStatus->resize(m_stStatus->width(), m_stStatus->sizeHint().height());
    m_chkLocalCopy->resize(m_chkLocalCopy->sizeHint());
}

void CScoutPanel::CheckBox(int nFlags)
{
    // Styles are only ever added: a box once disabled stays disabled.
    m_localCopyRequest.shown = true;
    m_localCopyRequest.disabled = m_localCopyRequest.disabled || (nFlags & 2);
    m_localCopyRequest.checked = nFlags & 1;
    if (!m_windowCreated)
        return;
    applyLocalCopyBox();
    Layout(width(), height());
}

bool CScoutPanel::IsBoxChecked() const
{
    return m_chkLocalCopy ? m_chkLocalCopy->isChecked() : m_localCopyRequest.checked;
}

void CScoutPanel::applyLocalCopyBox()
{
    if (!m_localCopyRequest.shown)
        return;
    m_chkLocalCopy->show();
    if (m_localCopyRequest.disabled)
        m_chkLocalCopy->setEnabled(false);
    m_chkLocalCopy->setChecked(m_localCopyRequest.checked);
}

void CScoutPanel::loadImages()
{
    initResources();
    const QList<QPixmap> images = loadImageStrip(IDB_IMAGES);
    m_ilCombo.clear();
    for (const QPixmap& image : images)
        m_ilCombo << QIcon(image);
    m_ilList = images;
    m_rowIcons.clear();
    m_ilHeader.clear();
    for (const QPixmap& arrow : loadImageStrip(IDB_SORT_ARROWS))
        m_ilHeader << QIcon(arrow);
}

void CScoutPanel::connectControls()
{
    connect(m_btnGo, &QPushButton::clicked, this, [this] { OnCommand(IDC_GO); });
    // activated: only the user's choice, as a selection change in the box's list is.
    connect(m_cbDataSource, &QComboBox::activated, this, [this] { onDataSourceChosen(); });
    connect(m_cbDataSource->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { m_strPendingSource = text.toLocal8Bit().toStdString(); });
    connect(m_cbDataSource->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { onDataSourceEditEnded(); });
    connect(m_cbQuery, &QComboBox::activated, this, [this] { onQueryChosen(); });
    // An editable box also reports leaving its edit field with an entry's text as choosing that
    // entry, and the list takes the focus at every request: typed text would then list again
    // from the first page. Typed text is browsed by Enter and Go; only a pick is a choice.
    for (QComboBox* box : {m_cbDataSource, m_cbQuery})
        disconnect(box->lineEdit(), SIGNAL(editingFinished()), box, nullptr);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        SendMessageA(this, UM_DBSCOUT_POP_MENU, 0,
                     packScreenPoint(m_list->viewport()->mapToGlobal(at)));
    });
    m_pHeader->setSectionsClickable(true);
    connect(m_pHeader, &QHeaderView::sectionClicked, this,
            [this](int column) { onColumnClick(column); });
    m_list->viewport()->installEventFilter(this);
}

bool CScoutPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (m_list && watched == m_list->viewport() && event->type() == QEvent::Paint)
        onListPainting();
    // Clicks and double clicks in the list are those of the left button; the right one opens
    // the context menu.
    const bool listClick = m_list && watched == m_list->viewport() &&
                           (event->type() == QEvent::MouseButtonRelease ||
                            event->type() == QEvent::MouseButtonDblClick) &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (listClick && event->type() == QEvent::MouseButtonDblClick) {
        onListDoubleClick(m_list->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
    } else if (listClick) {
        // A click shows the selection once the view has updated it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_list)
                    onListClick();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

BOOL CScoutPanel::OnInitDialog()
{
    m_list->setHeader(new ResultListHeader(m_list));
    m_list->setVerticalScrollBar(new ResultListScrollBar(Qt::Vertical, m_list));
    m_list->setHorizontalScrollBar(new ResultListScrollBar(Qt::Horizontal, m_list));
    m_pHeader = m_list->header();
    if (const QFont* font = GetDisplayFont(FontTable))
        m_list->setFont(*font);
    m_hAccel = new AcceleratorFilter(this, panelAccelerators(), [this](int id) { OnCommand(id); });
    loadImages();

    m_toolBar = new CMenuToolBar(this, this, [this](int id) { OnCommand(id); });
    m_toolBar->setObjectName(QString::number(IDC_TOOLBAR));
    m_toolBar->setButton(ID_GOTO, QIcon(loadImageStrip(IDB_TOOLBAR).value(0)));
    m_toolBar->resize(m_btnGo->width(), m_cbDataSource->height());
    m_toolBar->show();

    const QPixmap go = loadImageStrip(IDB_GO).value(0);
    if (!go.isNull()) {
        m_btnGo->setIcon(QIcon(go));
        m_btnGo->setIconSize(go.size());
        m_btnGo->setText(QString());
        m_btnGo->setToolTip(QString::fromUtf8(Texts::GoButton).remove('&'));
        // The icon replaces the text, not its mnemonic: Alt+G still presses Go.
        m_btnGo->setShortcut(QKeySequence::mnemonic(QString::fromUtf8(Texts::GoButton)));
    }

    m_list->setSelectionMode(m_bOpenMode ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setItemDelegate(new ResultListDelegate(m_list));
    m_list->setHeaderLabels({QString()});
    m_list->setColumnWidth(0, kPlaceholderColumnWidth);
    m_pHeader->setSectionsMovable(true);
    m_pHeader->setStretchLastSection(false);

    m_pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* placeholder = new QTreeWidgetItem(m_list);
    placeholder->setText(0, QString::fromLocal8Bit(LoadString(IDS_ENTER_QUERY)));
    connectControls();

    lookUpHandlers();
    LoadOptions(m_hSettingsKey, m_options);
    LoadDataSources();
    loadTableLayouts(m_hSettingsKey, m_tableSettings);
    startAtInitialPlace();
    return TRUE;
}

void CScoutPanel::onOptions()
{
    noteSettingsWrite(runOptionsDialog(this, m_hSettingsKey, m_nServerVersion, m_options),
                      "options");
}

bool CScoutPanel::noteSettingsWrite(bool written, const char* what)
{
    // The user is not troubled with it, and the panel goes on with what it holds; the host's
    // log is told, so that a full disk or a read-only store does not pass unseen.
    if (!written)
        qWarning("Dbscout: the %s could not be written to the settings store", what);
    return written;
}

void CScoutPanel::lookUpHandlers()
{
    if (!LookupHandlerCommand("molb", "dir", m_strMolbHandler)) {
        std::string text = LoadString(IDS_MOLB_NOT_FOUND);
        ShowError(this, text);
    }
    if (!LookupHandlerCommand("ncbi", "dir", m_strNcbiHandler)) {
        std::string text = LoadString(IDS_NCBI_NOT_FOUND);
        ShowError(this, text);
    }
}

bool CScoutPanel::OnCommand(int nCommand)
{
    // Every command works on the controls; before the window is made there is nothing to run.
    if (!m_windowCreated)
        return false;
    switch (nCommand) {
    case IDCANCEL:
        // Esc stops the requests; the panel is never closed that way.
        StopRequests();
        return true;
    case IDC_GO:
        onGo();
        return true;
    case ID_ENTER:
        onEnter();
        return true;
    case ID_RELOAD:
        Browse(true);
        return true;
    case ID_STOP:
        StopRequests();
        return true;
    case ID_PREVIOUS_PAGE:
        onPreviousPage();
        return true;
    case ID_NEXT_PAGE:
        onNextPage();
        return true;
    case ID_GOTO:
        onGoTo();
        return true;
    case ID_OPTIONS:
        onOptions();
        return true;
    default:
        return m_operations.runCommand(nCommand);
    }
}

void CScoutPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_windowCreated)
        Layout(width(), height());
}

bool CScoutPanel::event(QEvent* event)
{
    if (MOLBSCOUTPANE_MARKUP_DONE && event->type() == QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE)) {
        auto* message = static_cast<MessageEvent*>(event);
        OnMarkupDone(message->wParam, message->lParam);
        message->result = 0;
        return true;
    }
    if (UM_DBSCOUT_POP_MENU && event->type() == QEvent::Type(UM_DBSCOUT_POP_MENU)) {
        auto* message = static_cast<MessageEvent*>(event);
        const QPoint at = unpackScreenPoint(message->lParam);
        OnPopMenu(at.x(), at.y());
        message->result = 0;
        return true;
    }
    return QWidget::event(event);
}

void CScoutPanel::destroyWindow()
{
    if (!m_windowCreated)
        return;
    OnDestroy();
    delete m_hAccel;
    m_hAccel = nullptr;
    // No event of a control that is going away may reach the panel's filter.
    m_list->viewport()->removeEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        delete child;
    m_cbDataSource = m_cbQuery = nullptr;
    m_stStatus = m_stFilterLabel = m_stNameLabel = m_stSourceLabel = nullptr;
    m_btnGo = nullptr;
    m_list = nullptr;
    m_edName = nullptr;
    m_chkLocalCopy = nullptr;
    m_toolBar = nullptr;
    m_pHeader = nullptr;
    m_windowCreated = false;
}

void CScoutPanel::OnDestroy()
{
    RegistryBatch batch; // every setting of the panel in one commit
    CaptureTableLayout();
    ClearList();
    if (m_hSettingsKey) {
        noteSettingsWrite(m_queryHistory.Save(m_hSettingsKey, kQueryHistoryKept), "query history");
        RegKey history;
        const bool historyOpen =
            history.create(m_hSettingsKey, "DSHISTORY", KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
        noteSettingsWrite(historyOpen && m_dsHistory.Save(history.get(), kDataSourceHistoryKept),
                          "data-source history");
        noteSettingsWrite(saveLastOpen(), "last opened place");
        noteSettingsWrite(SaveOptions(m_hSettingsKey, m_options), "options");
    }
    noteSettingsWrite(batch.finish() == ERROR_SUCCESS, "panel's settings");
    ClearComboEntries();
}

bool CScoutPanel::saveLastOpen()
{
    RegKey key;
    if (key.create(m_hSettingsKey, "LAST_OPEN", KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return false;
    const DWORD fromList = DWORD(m_bLastOpenFromList);
    const bool fromListWritten =
        RegSetValueExA(key.get(), "LAST_OPEN_DS", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&fromList), sizeof fromList) == ERROR_SUCCESS;
    return RegSetValueExA(key.get(), "LAST_OPEN_URL", 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(m_strLastOpenURL.c_str()),
                          DWORD(m_strLastOpenURL.size() + 1)) == ERROR_SUCCESS &&
           fromListWritten;
}
