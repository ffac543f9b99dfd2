#pragma once
// Resource ids. Dialogs, controls, commands, menus, bitmaps, the animation and the string table
// share one numbering from 6901 to 6999; a control id is unique only within its dialog, so the
// controls of the smaller dialogs carry their dialog's name. Every control keeps its id as its
// objectName (for example "6913"), so that tests find it. The standard buttons keep the
// framework's numbers: 1 for OK (or the dialog's confirming button), 2 for Cancel.

#include <dbscout/controls.h> // the panel's controls (dialog 6904)

namespace Dbscout {

// Dialogs, menus, accelerators, toolbars.
constexpr int IDD_SAVING = 6902;
constexpr int IDR_CONTEXT_MENU = 6903;
constexpr int IDD_SCOUTPANE = 6904;
constexpr int IDD_GOTO = 6905;
constexpr int IDR_ACCELERATORS = 6906;
constexpr int IDR_TOOLBAR = 6913;
constexpr int IDD_SUBSET_NAME = 6925;
constexpr int IDD_ACCESS_RIGHTS = 6927;
constexpr int IDD_OPTIONS = 6929;
constexpr int IDD_COMMENT = 6931;
constexpr int IDD_OPTIONS_SAVE_PAGE = 6932;
constexpr int IDD_OPTIONS_CHECKOUT_PAGE = 6933;

// Controls of the Go-to dialog (6905).
constexpr int IDC_GOTO_START = 6906;
constexpr int IDC_GOTO_PAGE_SIZE = 6907;
constexpr int IDC_GOTO_TOTAL = 6909;

// Controls of the "Saving..." dialog (6902).
constexpr int IDC_SAVING_NAME = 6921;
constexpr int IDC_SAVING_LOCATION = 6922;
constexpr int IDC_SAVING_ANIMATION = 6923;

// Control of the subset name dialog (6925).
constexpr int IDC_SUBSET_NAME = 6921;

// Controls of the access-rights dialog (6927).
constexpr int IDC_ACCESS_EXPLANATION = 6928;
constexpr int IDC_ACCESS_OWNER = 6929;
constexpr int IDC_ACCESS_GROUP = 6930;
constexpr int IDC_ACCESS_OTHER = 6931;

// Control of the comment dialog (6931).
constexpr int IDC_COMMENT_TEXT = 6930;

// Control of the options dialog (6929): the frame that marks where the pages go.
constexpr int IDC_OPTIONS_FRAME = 6935;

// Check boxes of the "Check In/Out" options page (6933).
constexpr int IDC_CHECKOUT_PAGE_CHECKOUT_ON_OPEN = 6926;
constexpr int IDC_CHECKOUT_PAGE_CHECKIN_ON_SAVE = 6927;
constexpr int IDC_CHECKOUT_PAGE_CHECKOUT_DESC = 6931;
constexpr int IDC_CHECKOUT_PAGE_CHECKIN_DESC = 6932;

// Radio buttons of the "Save" options page (6932), listed in dialog order within each group.
constexpr int IDC_SAVE_PAGE_RECALC_DESC = 1195;
constexpr int IDC_SAVE_PAGE_KEEP_DESC = 1197;
constexpr int IDC_SAVE_PAGE_DISCONNECT_DESC = 1196;
constexpr int IDC_SAVE_PAGE_LEAVE_ON_ERROR = 1198;
constexpr int IDC_SAVE_PAGE_DISCONNECT_ON_ERROR = 1199;

// Bitmaps and the animation.
constexpr int IDB_IMAGES = 6909;      // row, subset and query images, overlays at 15 to 17
constexpr int IDB_TOOLBAR = 6913;     // the toolbar button's image
constexpr int IDB_GO = 6921;          // the Go! icon
constexpr int IDB_SORT_ARROWS = 6926; // ascending, descending
constexpr int IDB_ACCESS_LEVELS = 6930;
constexpr int IDR_SAVING_ANIMATION = 6941;

// Commands.
constexpr int ID_NONE_F2 = 6;
constexpr int ID_ENTER = 6954;
constexpr int ID_RELOAD = 6971;
constexpr int ID_STOP = 6972;
constexpr int ID_PREVIOUS_PAGE = 6973;
constexpr int ID_NEXT_PAGE = 6974;
constexpr int ID_GOTO = 6976;
constexpr int ID_NONE_HOME = 6978;
constexpr int ID_NONE_END = 6979;
constexpr int ID_ADDITIONAL_FUNCTIONS = 6981;
constexpr int ID_CHECK_OUT = 6984;
constexpr int ID_CREATE_EMPTY_SUBSET = 6985;
constexpr int ID_CREATE_SUBSET_FROM_SELECTION = 6986;
constexpr int ID_OPTIONS = 6987;
constexpr int ID_OBJECT_ACCESS = 6988;
constexpr int ID_SUBSET_ACCESS = 6989;
constexpr int ID_CHECK_IN = 6990;
constexpr int ID_UNDO_CHECK_OUT = 6994;

// Strings. The prompts of the commands 6971 to 6976 and 6981 stand under the command ids.
constexpr int IDS_MOLB_NOT_FOUND = 6951;
constexpr int IDS_UNKNOWN_ERROR = 6954;
constexpr int IDS_MOLB_PROTOCOL_ERROR = 6955;
constexpr int IDS_OBJECTS_FOUND_STATUS = 6956;
constexpr int IDS_WRONG_DATA_TYPE = 6957;
constexpr int IDS_DBSCOUT_ERROR = 6958;
constexpr int IDS_NCBI_NOT_FOUND = 6960;
constexpr int IDS_ENTER_QUERY = 6961;
constexpr int IDS_PERMISSION_DENIED = 6962;
constexpr int IDS_OBJECT_ACCESS_CAPTION = 6963;
constexpr int IDS_SUBSET_ACCESS_CAPTION = 6964;
constexpr int IDS_OBJECT_ACCESS_EXPLANATION = 6965;
constexpr int IDS_CHECKED_OUT_ACCESS_DENIED = 6966;
constexpr int IDS_SUBSET_ACCESS_EXPLANATION = 6967;
constexpr int IDS_COMMENT_TOO_LONG = 6968;
constexpr int IDS_OBJECTS_IN_RESULTS = 6977;
constexpr int IDS_UPLOAD_ERROR = 6982;
constexpr int IDS_MAIN_RESERVED = 6983;

} // namespace Dbscout
