#include "panel/scout_panel.h"

#include "operations/menu_toolbar.h"
#include "panel/accelerators.h"
#include "panel/display_fonts.h"
#include "platform/registered_messages.h"
#include "resources/ids.h"
#include "resources/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Dbscout;

namespace {

constexpr int IDCANCEL = 2;

template <typename Control>
Control* makeControl(QWidget* parent, int id)
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

CScoutPanel::CScoutPanel(QWidget* parent, const char* pszInitial, HKEY hSettingsKey,
                         int bOpenMode, int nDataType, int bLockName, int bInitialIsName)
    : QWidget(parent), m_strInitial(pszInitial ? pszInitial : ""), m_nDataType(nDataType),
      m_bOpenMode(bOpenMode), m_bLockName(bLockName), m_bInitialIsName(bInitialIsName),
      m_hSettingsKey(hSettingsKey)
{
    setObjectName(QString::number(IDD_SCOUTPANE));
    hide();
}

CScoutPanel::~CScoutPanel() = default;

void CScoutPanel::Create(QWidget* parent)
{
    if (m_bWindowCreated)
        return;
    setParent(parent);
    CreateControls();
    m_bWindowCreated = true;
    OnInitDialog();
    show();
}

void CScoutPanel::CreateControls()
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
    m_btnGo->setText(tr("&Go!"));
    m_stFilterLabel = makeLabel(this, IDC_FILTER_LABEL, "&Filter:", m_cbQuery);
    m_list = makeControl<QTreeWidget>(this, IDC_LIST);
    m_edName = makeControl<QLineEdit>(this, IDC_NAME);
    m_stNameLabel = makeLabel(this, IDC_NAME_LABEL, "Object &name:", m_edName);
    m_stSourceLabel = makeLabel(this, IDC_SOURCE_LABEL, "&Data Source:", m_cbDataSource);
    m_chkLocalCopy = makeControl<QCheckBox>(this, IDC_LOCAL_COPY);
    m_chkLocalCopy->setText(tr("&cc: to Local DB"));
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
    m_btnGo->resize(std::max(40, m_btnGo->sizeHint().width()), rowHeight);
    m_edName->resize(m_edName->width(), m_edName->sizeHint().height());
    m_stStatus->resize(m_stStatus->width(), m_stStatus->sizeHint().height());
    m_chkLocalCopy->resize(m_chkLocalCopy->sizeHint());

    connect(m_btnGo, &QPushButton::clicked, this, [this] { OnCommand(IDC_GO); });
}

BOOL CScoutPanel::OnInitDialog()
{
    m_pHeader = m_list->header();
    if (const QFont* font = GetDisplayFont(FontTable))
        m_list->setFont(*font);
    m_hAccel = new AcceleratorFilter(this, PanelAccelerators(), [this](int id) { OnCommand(id); });

    m_toolBar = new CMenuToolBar(this, this, [this](int id) { OnCommand(id); });
    m_toolBar->setObjectName(QString::number(IDC_TOOLBAR));
    m_toolBar->setButton(ID_GOTO, QIcon());
    m_toolBar->resize(m_btnGo->width(), m_cbDataSource->height());
    m_toolBar->stackUnder(m_cbQuery);

    m_list->setSelectionMode(m_bOpenMode ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({QString()});
    m_list->setColumnWidth(0, 500);
    m_pHeader->setSectionsMovable(true);
    m_pHeader->setStretchLastSection(false);

    auto* placeholder = new QTreeWidgetItem(m_list);
    placeholder->setText(0, QString::fromLocal8Bit(LoadString(IDS_ENTER_QUERY)));

    if (!m_strInitial.empty() && m_bLockName) {
        m_bNameLocked = 1;
        m_edName->setEnabled(false);
    }
    return TRUE;
}

bool CScoutPanel::OnCommand(int nCommand)
{
    switch (nCommand) {
    case IDCANCEL:
        // Esc stops the requests; the panel is never closed that way.
        StopRequests();
        return true;
    default:
        return false;
    }
}

void CScoutPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_bWindowCreated)
        Layout(width(), height());
}

bool CScoutPanel::event(QEvent* event)
{
    return QWidget::event(event);
}

void CScoutPanel::DestroyWindow()
{
    if (!m_bWindowCreated)
        return;
    OnDestroy();
    delete m_hAccel;
    m_hAccel = nullptr;
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
    m_bWindowCreated = false;
}

void CScoutPanel::OnDestroy()
{
    if (m_hSettingsKey)
        SaveLastOpen();
    m_cbQuery->clear();
}

void CScoutPanel::SaveLastOpen()
{
    RegKey key;
    if (key.create(m_hSettingsKey, "LAST_OPEN") != ERROR_SUCCESS)
        return;
    const DWORD fromList = DWORD(m_bLastOpenFromList);
    RegSetValueExA(key.get(), "LAST_OPEN_DS", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&fromList), sizeof fromList);
    RegSetValueExA(key.get(), "LAST_OPEN_URL", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(m_strLastOpenURL.c_str()),
                   DWORD(m_strLastOpenURL.size() + 1));
}

void CScoutPanel::StopRequests()
{
    setCursor(Qt::ArrowCursor);
}

BOOL CScoutPanel::GetURL(std::string& strURL, int& nFlag, std::string& strName)
{
    nFlag = 0;
    if (!m_edName)
        return FALSE;
    return FALSE;
}
