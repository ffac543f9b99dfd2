#pragma once
// Driving an embedded panel as a user does (picking a data source, typing a subset or query and
// pressing Go, clicking rows), by the numeric ids its controls carry as object names: for the
// demo's scripted tour and for the demo's tests.

#include "panel_controls.h"

#include <QString>
#include <QStringList>

class PanelFrame;

namespace PanelDriving {

using namespace PanelControls;

// Waits until the panel is built and lists its data sources; false after timeoutMs.
bool waitUntilBuilt(PanelFrame& frame, int timeoutMs);
// Picks the data source shown as text from the box's list; false when there is none.
bool chooseSource(PanelFrame& frame, const QString& text);
// Types query and presses Go; false when the listing did not end within timeoutMs.
bool list(PanelFrame& frame, const QString& query, int timeoutMs);
// Clicks a row of the list, then double-clicks it when open is set.
void clickRow(PanelFrame& frame, int row, bool open);
// The first column of every row.
QStringList rowNames(PanelFrame& frame);
// The status line, the row count and the first three rows, as one line.
QString shown(PanelFrame& frame);

} // namespace PanelDriving
