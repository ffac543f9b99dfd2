#pragma once
// The host suite's configured data sources: an ordered list of descriptors that it owns, walked
// by position as the panel expects, and filled from the settings store.
//
// Stored layout under the "sources" key: one subkey per data source, read in name order, with
// values named after the members: "Name", "Address", "User", "Password" (REG_SZ) and "DnaRna",
// "Protein", "Blast", "Citation", "Analysis", "Visible1", "CanOpen", "Visible2", "CanSave",
// "HasLogin", "FlagA", "FlagB" (REG_DWORD). A missing or mistyped value leaves the member empty
// or 0.

#include "hostlibs/data_source_desc.h"

#include <dbscout/registry.h>

namespace Dbscout {

// A place in a CDataSourceList; null is before the head or after the tail.
struct DataSourcePosition;
using POSITION = DataSourcePosition*;

class CDataSourceList final
{
public:
    CDataSourceList() = default;
    // Deletes every descriptor still in the list.
    ~CDataSourceList();
    CDataSourceList(const CDataSourceList&) = delete;
    CDataSourceList& operator=(const CDataSourceList&) = delete;

    // Appends one descriptor per subkey of sourcesKey. False when the key could not be listed
    // or a data source could not be read; those read before stay.
    bool Load(HKEY sourcesKey);

    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }
    // The descriptor at position, which then moves to the next (or previous) one.
    CDataSourceDesc* GetNext(POSITION& position) const;
    CDataSourceDesc* GetPrev(POSITION& position) const;
    // Takes ownership of descriptor.
    POSITION AddTail(CDataSourceDesc* descriptor);
    // Takes the entry out of the list without deleting its descriptor.
    void RemoveAt(POSITION position);
    int GetCount() const { return m_count; }

private:
    POSITION m_head = nullptr;
    POSITION m_tail = nullptr;
    int m_count = 0;
};

} // namespace Dbscout
