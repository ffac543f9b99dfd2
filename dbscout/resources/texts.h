#pragma once
// Fixed texts of the component's menus and dialogs that are not in the string table: captions,
// labels, button and menu item texts, exactly as the user sees them ("&" marks the mnemonic,
// "\t" separates a menu item from the shortcut it shows).

#include "resources/ids.h"

namespace Dbscout::Texts {

// The panel (dialog 6904).
inline constexpr char DataSourceLabel[] = "&Data Source:";
inline constexpr char FilterLabel[] = "&Filter:";
inline constexpr char NameLabel[] = "Object &name:";
inline constexpr char GoButton[] = "&Go!";
inline constexpr char LocalCopyCheck[] = "&cc: to Local DB";
inline constexpr char DownloadingRow[] = "Downloading...";

// Context menu items: the fixed ones of menu 6903 and those the panel adds at run time.
inline constexpr char MenuGoTo[] = "&Go to\tCtrl+G";
inline constexpr char MenuPreviousPage[] = "&Previous Page\tCtrl+PgUp";
inline constexpr char MenuNextPage[] = "&Next Page\tCtrl+PgDn";
inline constexpr char MenuReload[] = "&Reload\tF5";
inline constexpr char MenuStop[] = "&Stop\tEsc";
inline constexpr char MenuCheckOut[] = "Check Out\tCtrl+O";
inline constexpr char MenuCheckIn[] = "Check In\tCtrl+I";
inline constexpr char MenuUndoCheckOut[] = "Undo Check Out\tCtrl+U";
inline constexpr char MenuSubset[] = "Subset";
inline constexpr char MenuCreateEmptySubset[] = "Create an empty Subset...\tCtrl+S";
inline constexpr char MenuCreateSubsetFromSelection[] =
    "Create Subset using selected objects...\tCtrl+B";
inline constexpr char MenuObjectAccess[] = "Set access to selected objects\tCtrl+A";
inline constexpr char MenuSubsetAccess[] = "Set access to the current subset\tCtrl+C";
inline constexpr char MenuOptions[] = "O&ptions...\tCtrl+P";

// One entry of a menu resource; command 0 is a separator.
struct MenuItem
{
    int command;
    const char* text;
};

// The one popup ("Top") of menu 6903, in order.
inline constexpr char ContextMenuPopup[] = "Top";
inline constexpr MenuItem ContextMenuItems[] = {
    {ID_GOTO, MenuGoTo},
    {0, nullptr}, // separator
    {ID_PREVIOUS_PAGE, MenuPreviousPage},
    {ID_NEXT_PAGE, MenuNextPage},
    {0, nullptr}, // separator
    {ID_RELOAD, MenuReload},
    {ID_STOP, MenuStop},
};

// Standard buttons.
inline constexpr char Ok[] = "OK";
inline constexpr char OkMnemonic[] = "&OK";
inline constexpr char Cancel[] = "Cancel";
inline constexpr char CancelMnemonic[] = "&Cancel";

// Go-to dialog (6905).
inline constexpr char GoToCaption[] = "Go to";
inline constexpr char GoToStartLabel[] = "Start:";
inline constexpr char GoToPageSizeLabel[] = "Page size:";

// "Saving..." dialog (6902): the two lines are these prefixes followed by the name and place.
inline constexpr char SavingCaption[] = "Saving...";
inline constexpr char SavingNamePrefix[] = "Name: ";
inline constexpr char SavingLocationPrefix[] = "to Data Source: ";

// Comment dialog (6931): the caption is followed by the operation and the object's name.
inline constexpr char CommentCaption[] = "Please enter comment for ";
inline constexpr char CheckInLabel[] = " check in ";
inline constexpr char CheckOutLabel[] = " check out ";
inline constexpr char UndoCheckOutLabel[] = " undo check out ";

// Subset name dialog (6925).
inline constexpr char SubsetNameCaption[] = "Enter subset name:";

// Access-rights dialog (6927); the levels in the order of their images in bitmap 6930.
inline constexpr char AccessOwnerLabel[] = "&Owner:";
inline constexpr char AccessGroupLabel[] = "&Group:";
inline constexpr char AccessOtherLabel[] = "O&ther:";
inline constexpr char AccessSetButton[] = "&Set access";
inline constexpr char AccessNone[] = "No access";
inline constexpr char AccessRead[] = "Read only";
inline constexpr char AccessFull[] = "Full";

// Options dialog (6929) and its pages (6933, 6932).
inline constexpr char OptionsCaption[] = "Options";
inline constexpr char CheckoutPageCaption[] = "Check In/Out";
inline constexpr char CheckoutPageGroup[] = "Remote database check in/out default settings";
inline constexpr char CheckoutOnOpenCheck[] =
    "Check out object automatically when opened from the remote data base";
inline constexpr char CheckoutDescCheck[] = "Include all descendants during check out";
inline constexpr char CheckinOnSaveCheck[] =
    "Check in object automatically when saved in the remote data base";
inline constexpr char CheckinDescCheck[] = "Include all descendants during checkin";
inline constexpr char SavePageCaption[] = "Save";
inline constexpr char SavePageIntro[] = "You may have imported several molecules that have "
                                        "existing descendants already stored in the database.";
inline constexpr char SavePageRecalcGroup[] = "To avoid possible data inconsistencies:";
inline constexpr char SavePageRecalcDesc[] =
    "&Recalculate descendants so they reflect the changes in their parents.";
inline constexpr char SavePageKeepDesc[] = "D&o not recalculate descendants.";
inline constexpr char SavePageDisconnectDesc[] = "&Disconnect descendants from their parents.";
inline constexpr char SavePageErrorGroup[] = "If a descendant cannot be recalculated:";
inline constexpr char SavePageLeaveOnError[] = "&Leave it unprocessed.";
inline constexpr char SavePageDisconnectOnError[] = "&Disconnect from parents.";

} // namespace Dbscout::Texts
