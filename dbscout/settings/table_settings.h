#pragma once
// The remembered layout of the result list for one data source: column widths (the inherited
// sequence), column order (display position to column), and the sort.

#include "settings/reg_containers.h"

namespace Dbscout {

class CTableSettings : public CRegDWORDVector
{
public:
    bool Save(HKEY key, int maxCount) const override;
    // False when a width, the order or a sort value could not be read; what was read stays.
    bool Load(HKEY key) override;

    CRegDWORDVector Order;
    int32_t SortColumn = -1;
    uint32_t SortDirection = 0;

    friend bool operator==(const CTableSettings&, const CTableSettings&) = default;
};

} // namespace Dbscout
