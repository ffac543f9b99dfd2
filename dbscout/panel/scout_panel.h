#pragma once
// The panel that fills the host's CDbscout window: data source and subset/query boxes, the result
// list, the object-name box and the status line. The object exists from the host's
// CreateScoutpane on; its controls are made when the host first sizes the window (Create).
// GUI thread only.

#include "document/result_page.h"
#include "hostlibs/data_source_list.h"
#include "operations/panel_operations.h"
#include "request/object_url.h"
#include "request/scout_request.h"
#include "settings/options.h"
#include "settings/query_history.h"
#include "settings/table_layouts.h"

#include <dbscout/messages.h>
#include <dbscout/registry.h>

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QHeaderView;

namespace Dbscout {
class AcceleratorFilter;
class CMenuToolBar;
} // namespace Dbscout

class CScoutPanel : public QWidget, private Dbscout::PanelAccess
{
    Q_OBJECT
public:
    CScoutPanel(QWidget* parent, const char* pszInitial, HKEY hSettingsKey, int bOpenMode,
                int nDataType, int bLockName, int bInitialIsName);
    ~CScoutPanel() override;

    // Makes the panel's window as a child of parent and initialises it (OnInitDialog).
    void Create(QWidget* parent);
    // Whether the panel's window (its controls) exists.
    bool isWindowCreated() const { return m_windowCreated; }
    // Tears the window down as a destroyed window would: saves the settings (OnDestroy), then
    // drops the controls. The object stays usable for Stop and GetURL (which then fails).
    void destroyWindow();

    // Runs a command by its id, as the keys, menus and buttons do. Nothing (false) while the
    // window does not exist.
    virtual bool OnCommand(int nCommand);

    // The picked object's request URL (see CDbscout::GetURL).
    BOOL GetURL(std::string& strURL, int& nFlag, std::string& strName);
    // Places the controls for a panel of cx by cy pixels.
    void Layout(int cx, int cy);

    // Browse cycle.
    // Lists the current place; the one road to a new object list. Returns StartListRequest's
    // result.
    int Browse(bool bRefreshSubsets);
    // The listing URL of the current place (with objectPath after the address when given), or
    // empty when no data source address is known. Records the data source, credentials and query.
    std::string BuildListUrl(const std::string* objectPath);
    // Starts the object-list job (replacing one in flight); 0 for an empty URL, else 1.
    int StartListRequest(const std::string& url, bool bRefreshSubsets);
    // Starts the subset-list job for a listing URL; 0 when it holds no '/' past its start.
    int StartSubsetRequest(const std::string& listUrl);
    // Stops the requests in flight (Stop, Esc, the host's Stop) and empties the list.
    void StopRequests();
    // Empties the list of its rows and leaves it keptColumns untitled columns. A listing keeps
    // one, for "Downloading...": the list goes to it without a moment of no columns, in which the
    // header would lose its height and the list be laid out twice more. A page's columns come in
    // after that moment, though: going to them from a kept column leaves the list to be painted
    // twice.
    void ClearList(int keptColumns = 0);

    // The "&cc: to Local DB" box as the host asks for it (CDbscout::CheckBox): bit 0 checks it,
    // bit 1 disables it for good; it shows from the first request on. A request made before the
    // window exists is kept and applied when the window is made.
    void CheckBox(int nFlags);
    // The box's state, or the state asked for while the window does not exist.
    bool IsBoxChecked() const;

protected:
    virtual BOOL OnInitDialog();
    // Handles a finished request job's completion message; ignores jobs it no longer holds.
    void OnMarkupDone(WPARAM wParam, LPARAM lParam);
    virtual void OnOK() {}
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void applyLocalCopyBox();
    void loadImages();
    void connectControls();
    void OnDestroy();
    bool saveLastOpen();
    // Every settings write of the panel reports here; returns written.
    bool noteSettingsWrite(bool written, const char* what);
    void lookUpHandlers();
    void onOptions();

    // Data sources and the place to start at.
    bool LoadDataSources();
    void loadHistories();
    bool loadHostIcon();
    void fillDataSourceBox();
    void AddInitialSource();
    void startAtInitialPlace();
    // Editing of the data-source box ended (Enter or the focus left it): the entry of its text,
    // or none, becomes the selected one.
    void onDataSourceEditEnded();
    // The descriptor of the data-source box's selected entry, or null for a typed address.
    Dbscout::CDataSourceDesc* selectedSource() const;

    // Browse cycle.
    void onGo();
    void onEnter();
    void onPreviousPage();
    void onNextPage();
    void onGoTo();
    void onDataSourceChosen();
    void onQueryChosen();
    void ShowRequestStarted(const std::string& text);
    void holdListPainting(bool hold);
    std::unique_ptr<Dbscout::CScoutRequest> makeJob(const std::string& url);
    void retireJob(std::unique_ptr<Dbscout::CScoutRequest>& job);
    void startSubsetJobAfterList();
    // A paint of the list starts, after its paint, a subset job that waits for it.
    void onListPainting();
    void startWaitingSubsetJob();

    // Result list.
    void showListPage(Dbscout::ResultPage& page, const std::string& errorText);
    void noteSourceAnswered();
    void fillQueryBox(const Dbscout::ResultPage& page);
    void fillColumnsAndRows(Dbscout::ResultPage& page);
    void showSubsetPage(const Dbscout::ResultPage& page);
    QIcon rowIcon(int image, int overlay);
    int AddComboEntry(bool bAtTop, QComboBox* combo, const std::string& text, int nImage);
    void SetComboEntryData(int nIndex, const Dbscout::SubsetEntry& entry);
    void ClearComboEntries();
    void SortBy(int nColumn);
    void onColumnClick(int nColumn);
    void CaptureTableLayout();
    void ApplyTableLayout();

    // Selection. A click, or a key that moved the selection, shows the selected rows' ids in the
    // name box.
    void onListClick();
    void onListDoubleClick(QTreeWidgetItem* item);
    void OpenItem(const Dbscout::ResultRow& row);
    void NotifyItemSelected(bool bForce);
    bool queryEntryIsServerSubset() const;

    // What the object operations see of the panel (see PanelAccess).
    QWidget* dialogOwner() override { return this; }
    std::vector<const Dbscout::ResultRow*> selectedRows() const override;
    bool listShowsRows() const override;
    std::optional<Dbscout::SubsetEntry> currentSubsetEntry() const override;
    std::string currentUserName() const override;
    int serverVersion() const override { return m_nServerVersion; }
    Dbscout::ObjectUrlOptions objectOptions() const override;
    std::string listUrl(const std::string& objectPath) override;
    bool startListRequest(const std::string& url) override;

    // The context menu (UM_DBSCOUT_POP_MENU): shows the operations' menu at the screen point
    // (x, y) and runs the chosen command; Stop follows the running requests while it is open.
    void OnPopMenu(int x, int y);
    void updateStopItem();
    QMenu* m_menu = nullptr; // the open context menu

    // Controls, in the order they are bound.
    QComboBox* m_cbDataSource = nullptr;
    QComboBox* m_cbQuery = nullptr;
    QLabel* m_stStatus = nullptr;
    QPushButton* m_btnGo = nullptr;
    QLabel* m_stFilterLabel = nullptr;
    QLabel* m_stNameLabel = nullptr;
    QLabel* m_stSourceLabel = nullptr;
    QTreeWidget* m_list = nullptr;
    QLineEdit* m_edName = nullptr;
    QCheckBox* m_chkLocalCopy = nullptr;
    struct
    {
        bool shown = false;
        bool disabled = false;
        bool checked = false;
    } m_localCopyRequest; // what the host asked of m_chkLocalCopy

    Dbscout::CMenuToolBar* m_toolBar = nullptr;
    Dbscout::AcceleratorFilter* m_hAccel = nullptr;
    int m_nHostIconIndex = 0;
    std::string m_strSourceURL;
    std::string m_strInitial;
    bool m_bSourceFromList = false;
    std::string m_strPendingSource;
    std::string m_strQuery;
    std::string m_strCaptionQuery;
    int m_nMenuTimer = 0;
    std::string m_strUser;
    std::string m_strPassword;
    int m_nDataType;
    int m_bOpenMode;
    int m_bNameLocked = 0;
    int m_bLockName;
    int m_bInitialIsName;
    int m_nPageStart = 0;
    int m_nPageSize = 100;
    std::string m_strMolbHandler;
    std::string m_strNcbiHandler;
    HKEY m_hSettingsKey;
    int m_bLastOpenFromList = 0;
    std::string m_strLastOpenURL;
    int m_checkOptionsArmed = 0;
    int m_nSortColumn = -1;
    int m_bSortAscending = 0;
    int m_nServerVersion = 1;
    int m_nTotalCount = 0;
    QHeaderView* m_pHeader = nullptr;

    Dbscout::CDataSourceDesc* m_pCurrentSource = nullptr;
    Dbscout::CDataSourceList m_dataSources;
    Dbscout::PanelOptions m_options;
    QList<QIcon> m_ilCombo;
    QList<QPixmap> m_ilList;
    // The row icons made so far, by image and overlay: rows share them instead of each
    // composing its own.
    QHash<int, QIcon> m_rowIcons;
    QList<QIcon> m_ilHeader;
    Dbscout::QueryHistory m_queryHistory;
    Dbscout::CRegStrList m_dsHistory;
    Dbscout::TableLayouts m_tableSettings;
    std::optional<Dbscout::TableLayouts> m_savedTableSettings; // as last written
    std::vector<std::unique_ptr<Dbscout::CScoutRequest>> m_retiredJobs;
    std::unique_ptr<Dbscout::CScoutRequest> m_pListJob;
    std::unique_ptr<Dbscout::CScoutRequest> m_pSubsetJob;
    bool m_subsetJobWaiting = false; // made, not yet started: the list goes first
    bool m_subsetJobAtPaint = false; // and starts after the list's next paint
    Dbscout::PanelOperations m_operations{*this};

    bool m_windowCreated = false;
};
