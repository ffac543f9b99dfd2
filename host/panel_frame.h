#pragma once
// One embedded Dbscout panel, created and destroyed through the exported functions in the order
// the panel needs: the panel's window goes before the object, so that the panel saves its
// layouts and histories. The frame keeps the panel its own size and turns the panel's
// item-selected message into a signal.

#include <dbscout/dbscout.h>

#include <QWidget>

#include <string>

struct PanelSetup
{
    HKEY settingsKey = nullptr; // owned by the caller, open while the panel lives
    bool openMode = true;
    int dataType = 0;
    std::string initial; // an object URL or, with initialIsName, an object name
    bool initialIsName = false;
    bool lockName = false; // with initial: the name box cannot be changed
};

// What GetURL gave for the picked object.
struct PanelPick
{
    bool valid = false;
    std::string url;
    std::string name;
    int flag = 0;
};

class PanelFrame final : public QWidget
{
    Q_OBJECT

public:
    explicit PanelFrame(QWidget* parent = nullptr);
    ~PanelFrame() override;

    // Replaces the current panel (if any) with a new one. False when the library refused it.
    bool start(const PanelSetup& setup);
    void stop();

    CDbscout* panel() const { return m_panel; }
    PanelPick currentPick() const;
    // A control of the panel by its numeric id (every control keeps it as its objectName).
    template <typename Control> Control* control(int id) const
    {
        return m_panel ? m_panel->findChild<Control*>(QString::number(id)) : nullptr;
    }

signals:
    // The user picked an object (double click or Enter in the list).
    void picked();
    // The panel built its controls (once per start), so that they can be found by their ids.
    // The panel says nothing of it; its window, the one child of its CDbscout, shows when its
    // build is done, and this follows from the event loop after that.
    void panelBuilt();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CDbscout* m_panel = nullptr;
    bool m_built = false;
    int m_started = 0; // panels started so far: a late report of an earlier one is dropped
};
