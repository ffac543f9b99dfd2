#include <dbscout/dbscout.h>

#include "embed/live_panels.h"
#include "panel/scout_panel.h"
#include "resources/ids.h"

#include <QResizeEvent>

#include <new>

CDbscout::CDbscout(const char* pszInitial, HKEY hSettingsKey, int bOpenMode, int nDataType,
                   int bLockName, int bInitialIsName)
{
    setObjectName(QStringLiteral("CDbscout"));
    Dbscout::notePanelCreated(this);
    m_pPanel = new (std::nothrow) CScoutPanel(nullptr, pszInitial, hSettingsKey, bOpenMode,
                                              nDataType, bLockName, bInitialIsName);
}

CDbscout::~CDbscout()
{
    Dbscout::notePanelDeleted(this);
    // Destroying the window saves the panel's settings, whether the host deletes this object or
    // its own window that holds it.
    if (m_pPanel)
        m_pPanel->destroyWindow();
    delete m_pPanel;
}

BOOL CDbscout::Create(QWidget* hParent, const QRect& rect, UINT nID, DWORD dwStyle)
{
    if (!hParent)
        return FALSE;
    setParent(hParent);
    setWindowTitle(QStringLiteral("Dbscout"));
    setObjectName(QString::number(nID));
    setGeometry(rect);
    if (dwStyle & WS_DISABLED)
        setEnabled(false);
    if (dwStyle & WS_VISIBLE)
        show();
    return TRUE;
}

void CDbscout::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(0, event->size().width(), event->size().height());
}

void CDbscout::OnSize(UINT, int cx, int cy)
{
    if (!m_pPanel)
        return;
    if (!m_pPanel->isWindowCreated()) {
        // Qt gives a window its first size while it is still showing it; the panel is built once
        // the show is done (showEvent), so that its message boxes never open in the middle of the
        // host's show, nor for a window that is hidden again before its event loop runs.
        if (!isVisible())
            return;
        m_pPanel->Create(this);
    }
    m_pPanel->setGeometry(0, 0, cx, cy);
}

void CDbscout::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_pPanel || m_pPanel->isWindowCreated())
        return;
    // One build per show, from the event loop; a window hidden by then waits for its next show.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible())
                OnSize(0, width(), height());
        },
        Qt::QueuedConnection);
}

BOOL CDbscout::GetURL(std::string& strURL, int& nFlag, std::string& strName)
{
    if (!m_pPanel)
        return FALSE;
    return m_pPanel->GetURL(strURL, nFlag, strName);
}

BOOL CDbscout::GetURL(std::string& strURL, int& nFlag)
{
    std::string name;
    return GetURL(strURL, nFlag, name);
}

void CDbscout::Refresh()
{
    if (m_pPanel)
        m_pPanel->OnCommand(Dbscout::ID_RELOAD);
}

void CDbscout::Stop()
{
    if (m_pPanel)
        m_pPanel->StopRequests();
}

BOOL CDbscout::IsBoxChecked()
{
    return m_pPanel && m_pPanel->IsBoxChecked() ? TRUE : FALSE;
}

void CDbscout::CheckBox(int nFlags)
{
    // Before Create there is no window for the box. From Create on the request counts, also while
    // the panel waits for the window's first show to be built: it is applied then.
    if (m_pPanel && parentWidget())
        m_pPanel->CheckBox(nFlags);
}
