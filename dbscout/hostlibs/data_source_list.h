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

#include <list>
#include <memory>

namespace Dbscout {

// A place in a CDataSourceList; null is before the head or after the tail. A place stays valid
// until its entry is removed.
struct DataSourcePosition;
using POSITION = const DataSourcePosition*;

class CDataSourceList final
{
public:
    CDataSourceList();
    // Deletes every descriptor still in the list.
    ~CDataSourceList();
    CDataSourceList(const CDataSourceList&) = delete;
    CDataSourceList& operator=(const CDataSourceList&) = delete;

    // Appends one descriptor per subkey of sourcesKey. False when the key could not be listed
    // or a data source could not be read; those read before stay.
    bool Load(HKEY sourcesKey);

    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    // The descriptor at position, which then moves to the next (or previous) one.
    CDataSourceDesc* GetNext(POSITION& position) const;
    CDataSourceDesc* GetPrev(POSITION& position) const;
    // Takes ownership of descriptor.
    POSITION AddTail(CDataSourceDesc* descriptor);
    // Takes the entry out of the list without deleting its descriptor.
    void RemoveAt(POSITION position);
    int GetCount() const { return int(m_entries.size()); }

private:
    std::list<DataSourcePosition> m_entries;
};

} // namespace Dbscout
