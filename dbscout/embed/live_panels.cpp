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

void NotePanelCreated(const CDbscout* panel)
{
    livePanels().insert(panel);
}

void NotePanelDeleted(const CDbscout* panel)
{
    livePanels().erase(panel);
}

bool IsLivePanel(const CDbscout* panel)
{
    return livePanels().count(panel) != 0;
}

} // namespace Dbscout
