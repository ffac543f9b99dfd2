#include "settings/table_settings.h"

namespace Dbscout {

bool CTableSettings::Save(HKEY key, int maxCount) const
{
    if (!CRegDWORDVector::Save(key, maxCount))
        return false;
    if (!writeDword(key, "SortColumn", DWORD(SortColumn)) ||
        !writeDword(key, "SortDirection", SortDirection))
        return false;
    RegKey order;
    if (order.create(key, "Order", KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return true; // the widths and sort are kept even where the order cannot be
    return Order.Save(order.get(), 0);
}

bool CTableSettings::Load(HKEY key)
{
    if (!CRegDWORDVector::Load(key))
        return false;
    RegKey order;
    if (order.create(key, "Order", KEY_READ | KEY_WRITE) == ERROR_SUCCESS && !Order.Load(order.get()))
        return false;
    DWORD column = 0;
    if (!readDword(key, "SortColumn", column))
        return false;
    SortColumn = int32_t(column);
    return readDword(key, "SortDirection", SortDirection);
}

} // namespace Dbscout
