#include "embed/live_panels.h"

#include <set>

namespace Dbscout {

namespace {

std::set<const CDbscout*>& livePanels()
{
    static std::set<const CDbscout*> panels;
    return panels;
}

} // namespace

void notePanelCreated(const CDbscout* panel)
{
    livePanels().insert(panel);
}

void notePanelDeleted(const CDbscout* panel)
{
    livePanels().erase(panel);
}

bool isLivePanel(const CDbscout* panel)
{
    return livePanels().count(panel) != 0;
}

} // namespace Dbscout
