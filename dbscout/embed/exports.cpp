// The plain exported functions of libdbscout.so.

#include <dbscout/dbscout.h>

#include "embed/live_panels.h"
#include "resources/images.h"

#include <new>

void InitScoutpaneDLL()
{
    // The bitmaps and the "Saving..." animation, which SaveObject needs without any panel.
    Dbscout::initResources();
}

CDbscout* CreateScoutpane(const char* pszInitial, HKEY hSettingsKey, int bOpenMode, int nDataType,
                          int bLockName, int bInitialIsName)
{
    return new (std::nothrow)
        CDbscout(pszInitial, hSettingsKey, bOpenMode, nDataType, bLockName, bInitialIsName);
}

void DeleteScoutpane(CDbscout* p)
{
    if (p && Dbscout::isLivePanel(p))
        delete p;
}

int SaveObject(std::string& name, const std::string& arcName, const char* url, const char* data,
               int dataLength, int& exists, QWidget* parent)
{
    return CDbscout::SaveObject(name, arcName, url, data, dataLength, exists, parent);
}
