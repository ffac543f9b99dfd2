#pragma once
// What the object operations see of the panel they act for: the selection, the current place,
// the server's version and the options, and the one way to send a request. The panel implements
// it; operations/ depends on this and not on the panel class. GUI thread only.

#include "document/result_page.h"
#include "request/object_url.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace Dbscout {

class PanelAccess
{
public:
    // The window that owns the operations' dialogs and message boxes.
    virtual QWidget* dialogOwner() = 0;

    // The selected rows in list order; null for a selected row without row data (the
    // placeholder or "Downloading..." row).
    virtual std::vector<const ResultRow*> selectedRows() const = 0;
    // Whether the list shows objects: it has rows and its first one carries row data.
    virtual bool listShowsRows() const = 0;
    // The subset entry attached to the Subset/Query box's selected entry, if any.
    virtual std::optional<SubsetEntry> currentSubsetEntry() const = 0;
    // The user of the current data source, or of the credentials in its address; may be empty.
    virtual std::string currentUserName() const = 0;
    // The major version of the last accepted result page.
    virtual int serverVersion() const = 0;
    // The check-in and check-out options as object URLs use them.
    virtual ObjectUrlOptions objectOptions() const = 0;

    // The listing URL of the current place with objectPath after the address; empty when no
    // data source address is known.
    virtual std::string listUrl(const std::string& objectPath) = 0;
    // Sends a request whose answer is a listing that refills the list; false for an empty url.
    virtual bool startListRequest(const std::string& url) = 0;

protected:
    ~PanelAccess() = default;
};

} // namespace Dbscout
