#pragma once
// The listing URL and the subset-list URL of the panel. The panel reads its controls into the
// inputs and applies the outputs to its members; nothing here touches a widget.

#include <optional>
#include <string>

namespace Dbscout {

// The longest text taken from a combo box's selected item when its edit field is empty.
constexpr size_t kComboItemTextMax = 260;

// The text of a combo box as the URL builders read it: the edit field, or, when that is empty,
// the selected item's text cut to kComboItemTextMax bytes.
std::string comboBoxText(const std::string& editText, const std::string& selectedItemText);

// The data source box as it stands when a listing starts.
struct DataSourceChoice
{
    std::optional<std::string> pendingAddress; // m_strPendingSource, when the user typed one
    bool hasDescriptor = false;                // the selected item carries a data source descriptor
    std::string descriptorUrl;
    bool descriptorLogin = false; // the descriptor has a login
    std::string descriptorUser;
    std::string descriptorPassword; // what the descriptor's GetPassword returns
    bool descriptorFlagA = false;
    std::string boxText; // comboBoxText of the data source box
};

struct ListUrlInput
{
    DataSourceChoice source;
    std::string queryBoxText; // comboBoxText of the subset/query box
    int pageStart = 0;
    int pageSize = 0;
    bool openMode = true;
};

// What the panel records from one BuildListUrl call, whether or not a URL came out.
struct ListUrlResult
{
    std::string url;              // empty: no data source address, send nothing
    std::string sourceUrl;        // m_strSourceURL
    bool sourceFromList = false;  // m_bSourceFromList; m_pCurrentSource is the item's descriptor
                                  // when set, else null
    bool pendingUsed = false;     // m_strPendingSource is to be emptied
    std::string user;             // m_strUser
    std::string password;         // m_strPassword
    std::string query;            // m_strQuery
    bool singleSelection = false; // the list allows one row only
};

// Decides the data source and composes the listing URL. objectPath, when given (an empty one
// counts), follows the address after a '/'.
ListUrlResult BuildListUrl(const ListUrlInput& input, const std::string* objectPath = nullptr);

// The subset-list URL of a listing URL: the listing URL up to its last '/', the credentials and,
// in save mode, writable=yes. Empty when the listing URL has no '/' after its first character.
std::optional<std::string> BuildSubsetListUrl(const std::string& listUrl, const std::string& user,
                                              const std::string& password, bool openMode);

} // namespace Dbscout
