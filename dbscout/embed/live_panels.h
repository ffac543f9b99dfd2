#pragma once
// The CDbscout objects alive in this process, however the host made them (CreateScoutpane or
// new). A Qt parent deletes its children, so a host that deleted its own window first has
// already deleted the CDbscout inside it; DeleteScoutpane must then leave that pointer alone.
// GUI thread only.

class CDbscout;

namespace Dbscout {

void notePanelCreated(const CDbscout* panel);
void notePanelDeleted(const CDbscout* panel);
bool isLivePanel(const CDbscout* panel);

} // namespace Dbscout
