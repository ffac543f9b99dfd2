#pragma once
// The panel's "&cc: to Local DB" box in molbench-demo: shown (CheckBox) in every open panel with
// the state the user left it in, which the demo keeps in its settings, and enabled only while the
// panel's data source is not the user's local store already.
//
// The panel tells its host neither when it has built its controls nor when the user picks
// another data source, so the demo follows the panel's Data Source box (control 6913) and the
// check box (control 6920) itself, finding them by the ids they carry as object names once the
// panel has built them (PanelFrame::panelBuilt). A host that keeps the box enabled needs none of
// that: it reads IsBoxChecked at each pick and decides by the picked object's URL, as DemoWindow
// does too.

#include "configured_sources.h"

#include <dbscout/registry.h>

#include <QObject>
#include <QPointer>

class PanelFrame;
class QCheckBox;

class CopyBox final : public QObject
{
    Q_OBJECT

public:
    // settingsKey: the demo's own key (may be null: the state is then not kept).
    explicit CopyBox(HKEY settingsKey, QObject* parent = nullptr);

    // A panel was (re)started in frame: shows the box there once the panel is built.
    void attach(PanelFrame& frame);
    // The box as the user left it: checked, and the kept state when no panel shows it yet.
    bool isChecked() const;
    // Whether the box is shown and enabled (for tests and the tour).
    bool isOffered() const;

private:
    void findControls();
    void followSource(const QString& sourceText);

    HKEY m_settings = nullptr;
    QPointer<PanelFrame> m_frame;
    QPointer<QCheckBox> m_box;
    std::vector<ConfiguredSource> m_sources; // read when the panel is built
};
