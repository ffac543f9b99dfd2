#pragma once
// The panel that fills the host's CDbscout window: data source and subset/query boxes, the result
// list, the object-name box and the status line. The object exists from the host's
// CreateScoutpane on; its controls are made when the host first sizes the window (Create).
// GUI thread only.

#include <dbscout/messages.h>
#include <dbscout/registry.h>

#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QHeaderView;

namespace Dbscout {
class AcceleratorFilter;
class CMenuToolBar;
} // namespace Dbscout

class CScoutPanel : public QWidget
{
    Q_OBJECT
public:
    CScoutPanel(QWidget* parent, const char* pszInitial, HKEY hSettingsKey, int bOpenMode,
                int nDataType, int bLockName, int bInitialIsName);
    ~CScoutPanel() override;

    // Makes the panel's window as a child of parent and initialises it (OnInitDialog).
    void Create(QWidget* parent);
    // Whether the panel's window (its controls) exists.
    bool IsWindow() const { return m_bWindowCreated; }
    // Tears the window down as a destroyed window would: saves the settings (OnDestroy), then
    // drops the controls. The object stays usable for Stop and GetURL (which then fails).
    void DestroyWindow();

    // Runs a command by its id, as the keys, menus and buttons do.
    virtual bool OnCommand(int nCommand);

    BOOL GetURL(std::string& strURL, int& nFlag, std::string& strName);
    // Stops the requests in flight (Stop, Esc, the host's Stop).
    void StopRequests();
    // Places the controls for a panel of cx by cy pixels.
    void Layout(int cx, int cy);

    QCheckBox* localCopyBox() const { return m_chkLocalCopy; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateControls();
    void OnDestroy();
    void SaveLastOpen();
    void LookUpHandlers();

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

    bool m_bWindowCreated = false;
};
