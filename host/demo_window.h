#pragma once
// The example host's main window: embeds one Dbscout panel through the exported functions only,
// as any third-party host would.

#include <dbscout/dbscout.h>

#include <QMainWindow>

class DemoWindow final : public QMainWindow
{
public:
    explicit DemoWindow(HKEY settingsKey);
    ~DemoWindow() override;

protected:
    bool event(QEvent* event) override;

private:
    void onItemSelected();

    QWidget* m_panelHost = nullptr;
    CDbscout* m_panel = nullptr;
};
