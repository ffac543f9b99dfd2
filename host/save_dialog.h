#pragma once
// "Save to Database": a panel in save mode in a dialog, where the user picks the data source,
// the subset and the name to store an object under. The caller saves through SaveObject with
// the URL the panel gives.

#include "panel_frame.h"

#include <QDialog>

class SaveDialog final : public QDialog
{
public:
    // dataType: the kind of the object to save (0 when unknown); name: the name to propose.
    SaveDialog(HKEY settingsKey, int dataType, const QString& name, QWidget* parent = nullptr);

    // The put URL and name the user chose; valid once the dialog was accepted.
    PanelPick pick() const { return m_pick; }
    PanelFrame* frame() const { return m_frame; }

    void accept() override;

private:
    PanelFrame* m_frame = nullptr;
    PanelPick m_pick;
};
