#pragma once
// "Save to Database": a panel in save mode in a dialog, where the user picks the data source,
// the subset and the name to store an object under. The caller saves through SaveObject with
// the URL the panel gives. Esc cancels the dialog wherever the focus is: the panel takes Esc
// for its Stop, and a listing stops with the dialog anyway.

#include "panel_frame.h"

#include <QDialog>

class QLabel;

class SaveDialog final : public QDialog
{
public:
    // dataType: the kind of the object to save (0 when unknown); name: the name to propose, or
    // with nameFixed the one the user cannot change (a place is chosen, not a name).
    SaveDialog(HKEY settingsKey, int dataType, const QString& name, QWidget* parent = nullptr,
               bool nameFixed = false);

    // Replaces the line above the panel that says what to choose.
    void setHint(const QString& hint);
    // Lists this data source (the text of its entry) and subset once the panel is built,
    // instead of the place the panel remembers.
    void setStartPlace(const QString& sourceText, const QString& subset);

    // The put URL and name the user chose; valid once the dialog was accepted.
    PanelPick pick() const { return m_pick; }
    PanelFrame* frame() const { return m_frame; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onPanelBuilt();

    PanelFrame* m_frame = nullptr;
    QLabel* m_hint = nullptr;
    PanelPick m_pick;
    QString m_startSource;
    QString m_startSubset;
};
