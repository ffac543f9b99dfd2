#pragma once
// Driving an embedded panel as a user does (picking a data source, typing a subset or query and
// pressing Go, clicking rows), by the numeric ids its controls carry as object names: for the
// demo's dialogs that start at a place, its scripted tour and its tests.

#include <dbscout/controls.h>

#include <QString>
#include <QStringList>

class PanelFrame;

namespace PanelDriving {

// Lists a data source (the text of its entry) and subset or query as if the user chose them and
// pressed Go, without waiting; false when the panel is not built or has no such entry.
bool showPlace(PanelFrame& frame, const QString& sourceText, const QString& query);
// Waits until the panel is built and lists its data sources; false after timeoutMs.
bool waitUntilBuilt(PanelFrame& frame, int timeoutMs);
// Picks the data source shown as text from the box's list and waits for the listing the pick
// starts; false when there is no such source or the listing did not end within timeoutMs.
bool chooseSource(PanelFrame& frame, const QString& text, int timeoutMs);
// Types query and presses Go; false when the listing did not end within timeoutMs.
bool list(PanelFrame& frame, const QString& query, int timeoutMs);
// Clicks a row of the list, then double-clicks it when open is set.
void clickRow(PanelFrame& frame, int row, bool open);
// Selects the rows first to last as a click and a Shift+click do (the name box lists their ids).
void selectRows(PanelFrame& frame, int first, int last);
// The first column of every row.
QStringList rowNames(PanelFrame& frame);
// The status line, the row count and the first three rows, as one line.
QString shown(PanelFrame& frame);

} // namespace PanelDriving
