// The plain exported functions of libdbscout.so.

#include <dbscout/dbscout.h>

#include <new>
#include <set>

namespace {

// Panels alive in this process. A Qt parent deletes its children, so a host that deletes its own
// window first has already destroyed the panel; DeleteScoutpane must then do nothing.
std::set<const CDbscout*>& livePanels()
{
    static std::set<const CDbscout*> panels;
    return panels;
}

} // namespace

void InitScoutpaneDLL()
{
}

CDbscout* CreateScoutpane(const char* pszInitial, HKEY hSettingsKey, int bOpenMode,
                          int nDataType, int bLockName, int bInitialIsName)
{
    auto* panel = new (std::nothrow)
        CDbscout(pszInitial, hSettingsKey, bOpenMode, nDataType, bLockName, bInitialIsName);
    if (panel) {
        livePanels().insert(panel);
        QObject::connect(panel, &QObject::destroyed, [panel] { livePanels().erase(panel); });
    }
    return panel;
}

void DeleteScoutpane(CDbscout* p)
{
    if (p && livePanels().count(p))
        delete p;
}

int SaveObject(std::string& name, const std::string& arcName, const char* url, const char* data,
               int dataLength, int& exists, QWidget* parent)
{
    return CDbscout::SaveObject(name, arcName, url, data, dataLength, exists, parent);
}
