#include "resources/strings.h"

#include <map>

namespace Dbscout {

namespace {

// Prompt entries repeat their text, the copies separated by "/n", as the table always had them.
const std::map<int, const char*>& table()
{
    static const std::map<int, const char*> texts = {
        {IDS_MOLB_NOT_FOUND, "MOLB registered protocol not found"},
        {IDS_UNKNOWN_ERROR, "Unknown error"},
        {IDS_MOLB_PROTOCOL_ERROR, "MOLB protocol error"},
        {IDS_OBJECTS_FOUND_STATUS,
         "%d objects were found. The first object # is %d, page size: %d"},
        {IDS_WRONG_DATA_TYPE, "Wrong data type."},
        {IDS_DBSCOUT_ERROR, "Dbscout error"},
        {IDS_NCBI_NOT_FOUND, "NCBI registered protocol not found"},
        {IDS_ENTER_QUERY, "Please enter a Subset/Query and press \"Go\""},
        {IDS_PERMISSION_DENIED,
         "Privelage Denied:  Cannot change permissions to selected objects."},
        {IDS_OBJECT_ACCESS_CAPTION, "Access rights to the object(s): "},
        {IDS_SUBSET_ACCESS_CAPTION, "Access rights to the subset: "},
        {IDS_OBJECT_ACCESS_EXPLANATION, "Set access rights to the seleted objects.\n"},
        {IDS_CHECKED_OUT_ACCESS_DENIED,
         "You cannot change permissions for the checked out objects."},
        {IDS_SUBSET_ACCESS_EXPLANATION, "Set access rights for the current subset.\n"},
        {IDS_COMMENT_TOO_LONG, "Error:  Comment too long."},
        {ID_RELOAD, "Reload content of the dialog/nReload content of the dialog"},
        {ID_STOP, "Stop downloading/nStop downloading"},
        {ID_PREVIOUS_PAGE, "Go to the previous page/nGo to the previous page"},
        {ID_NEXT_PAGE, "Go to the next page/nGo to the next page"},
        {ID_GOTO,
         "Go to the dialog setup the page size and the number of first item/nGo to the dialog "
         "setup the page size and the number of first item"},
        {IDS_OBJECTS_IN_RESULTS, "%d objects found in the results."},
        {ID_ADDITIONAL_FUNCTIONS,
         "Additional functions/nAdditional functions/nAdditional functions"},
        {IDS_UPLOAD_ERROR, "Error uloading data."},
        {IDS_MAIN_RESERVED, "The \"MAIN\" is reserved subset name."},
    };
    return texts;
}

} // namespace

std::string LoadString(int id)
{
    const auto& texts = table();
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : std::string(it->second);
}

} // namespace Dbscout
