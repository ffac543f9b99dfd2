// The static save of CDbscout: one modal "Saving..." dialog per object.

#include <dbscout/dbscout.h>

#include "operations/saving_dlg.h"

int CDbscout::SaveObject(std::string& name, const std::string& arcName, const char* url,
                         const char* data, int dataLength, int& exists, QWidget* parent)
{
    Dbscout::CSavingDlg dialog(parent, name, arcName, url ? url : "", data, dataLength, exists);
    dialog.doModal();
    exists = dialog.resultCode == 2 ? 1 : 0;
    name = dialog.returnedName;
    return dialog.resultCode == 1 ? 1 : 0;
}
