#pragma once
// The embedding interface of the Dbscout panel.
//
// A host calls InitScoutpaneDLL once, then per panel: CreateScoutpane, Create with its own
// widget as parent, gives the window a size (the panel is built once the window shows), and
// at the end destroys the window (which saves the panel's settings) before DeleteScoutpane.
// Everything here runs on the GUI thread. The panel tells the host about a picked object by
// sending UM_DBSCOUT_ITEM_SELECTED (wParam -1, lParam 0) to the parent given to Create; the
// host then asks for the object's request URL with GetURL.

#include <dbscout/export.h>
#include <dbscout/messages.h>
#include <dbscout/registry.h>

#include <QWidget>

#include <string>

class CScoutPanel;

// Window styles that CDbscout::Create honours.
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;

class DBSCOUT_EXPORT CDbscout : public QWidget
{
public:
    CDbscout(const char* pszInitial, HKEY hSettingsKey, int bOpenMode, int nDataType, int bLockName,
             int bInitialIsName);
    ~CDbscout() override;

    // Makes this a child of hParent with the given geometry; the panel itself waits for the
    // window to show. Returns FALSE without a parent.
    virtual BOOL Create(QWidget* hParent, const QRect& rect, UINT nID, DWORD dwStyle);
    // The picked object's request URL, its data source's flag and its trimmed name. FALSE when
    // no URL can be built (also before the panel is built, with nFlag 0).
    virtual BOOL GetURL(std::string& strURL, int& nFlag, std::string& strName);
    virtual BOOL GetURL(std::string& strURL, int& nFlag);
    // Lists the current place again, subsets included; nothing before the panel is built.
    virtual void Refresh();
    // State of the "&cc: to Local DB" box (as last asked for while the panel is not built yet).
    virtual BOOL IsBoxChecked();
    // Shows the box: bit 0 checks it, bit 1 disables it. Nothing before Create; asked between
    // Create and the panel's build (at the window's first show), it is applied then.
    virtual void CheckBox(int nFlags);
    // Stops the requests in flight.
    virtual void Stop();

    // Saves data under name through the put handler of the molb scheme with a modal
    // "Saving..." dialog. Returns 1 when stored (name becomes the stored name); 0 otherwise,
    // with exists 1 when the name was taken.
    static int SaveObject(std::string& name, const std::string& arcName, const char* url,
                          const char* data, int dataLength, int& exists, QWidget* parent);

    CScoutPanel* panel() const { return m_pPanel; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The panel is built from the first show's event loop, at the window's size then.
    void showEvent(QShowEvent* event) override;
    virtual void OnSize(UINT nType, int cx, int cy);

private:
    CScoutPanel* m_pPanel = nullptr;
};

// Registered message values, set when the library is loaded.
extern "C" DBSCOUT_EXPORT UINT UM_DBSCOUT_POP_MENU;
extern "C" DBSCOUT_EXPORT UINT UM_DBSCOUT_ITEM_SELECTED;

extern "C" {
DBSCOUT_EXPORT void InitScoutpaneDLL();
DBSCOUT_EXPORT CDbscout* CreateScoutpane(const char* pszInitial, HKEY hSettingsKey, int bOpenMode,
                                         int nDataType, int bLockName, int bInitialIsName);
DBSCOUT_EXPORT void DeleteScoutpane(CDbscout* p);
DBSCOUT_EXPORT int SaveObject(std::string& name, const std::string& arcName, const char* url,
                              const char* data, int dataLength, int& exists, QWidget* parent);
// Replaces the last path segment of an object URL with pszName, keeping the query part.
// Returns false, leaving the URL untouched, when it holds no '/'.
DBSCOUT_EXPORT bool ParseURLAndReplaceName(std::string& strURL, const char* pszName);
}
