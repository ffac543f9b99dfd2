#pragma once
// The object URL that the host receives for the picked object (open mode: fetch it; save mode:
// put the host's object there), with the check and descendant options the panel allows.

#include <optional>
#include <string>

namespace Dbscout {

// The option values that enter an object URL.
struct ObjectUrlOptions
{
    bool checkoutOnOpen = false;
    bool checkoutOnOpenDesc = false;
    bool checkinOnSave = false;
    bool checkinOnSaveDesc = false;
    int onSaveRecalcDesc = 1;   // 0 reconstruct descendants, 2 disconnect them, 1 neither
    int onSaveLeaveOnError = 0; // 1 disconnects a descendant that cannot be recalculated
};

struct ObjectUrlInput
{
    std::string nameBoxText; // m_edName as typed
    std::string sourceUrl;   // m_strSourceURL
    std::string query;       // m_strQuery
    std::string user;        // m_strUser
    std::string password;    // m_strPassword
    bool openMode = true;
    int serverVersion = 1; // m_nServerVersion
    bool checkOptionsArmed = false;
    ObjectUrlOptions options;
};

struct ObjectUrl
{
    std::string url;
    std::string name; // the name box text without surrounding white space
};

// Nothing when the name box is empty or the data source address holds no '/'.
std::optional<ObjectUrl> BuildObjectUrl(const ObjectUrlInput& input);

} // namespace Dbscout
