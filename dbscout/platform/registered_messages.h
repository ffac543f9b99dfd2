#pragma once
// The three registered messages. UM_DBSCOUT_POP_MENU and UM_DBSCOUT_ITEM_SELECTED are exported
// to hosts (they are declared again in <dbscout/dbscout.h>); MOLBSCOUTPANE_MARKUP_DONE stays
// inside: request jobs post it to their owner when they have finished.

#include <dbscout/messages.h>

extern "C" DBSCOUT_EXPORT UINT UM_DBSCOUT_POP_MENU;
extern "C" DBSCOUT_EXPORT UINT UM_DBSCOUT_ITEM_SELECTED;
extern UINT MOLBSCOUTPANE_MARKUP_DONE;
