#include "platform/registered_messages.h"


// Each message is registered by its own static initialiser, so the values exist as soon as the
// library is loaded, before a host can call anything.
UINT UM_DBSCOUT_POP_MENU = RegisterWindowMessageA("UM_DBSCOUT_POP_MENU");
UINT MOLBSCOUTPANE_MARKUP_DONE = RegisterWindowMessageA("MOLBSCOUTPANE_MARKUP_DONE");
UINT UM_DBSCOUT_ITEM_SELECTED = RegisterWindowMessageA("UM_DBSCOUT_ITEM_SELECTED");
