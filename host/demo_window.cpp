#include "demo_window.h"

#include <QResizeEvent>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// Keeps the embedded panel the size of its holder, as a host sizes any child window.
class PanelHolder final : public QWidget
{
public:
    using QWidget::QWidget;
    CDbscout* panel = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        if (panel)
            panel->setGeometry(QRect(QPoint(0, 0), event->size()));
    }
};

} // namespace

DemoWindow::DemoWindow(HKEY settingsKey)
{
    setWindowTitle(tr("Molbench demo"));
    auto* holder = new PanelHolder(this);
    m_panelHost = holder;
    setCentralWidget(holder);

    m_panel = CreateScoutpane("", settingsKey, /*bOpenMode=*/1, /*nDataType=*/0, 0, 0);
    if (m_panel && m_panel->Create(holder, holder->rect(), 1, WS_CHILD | WS_VISIBLE))
        holder->panel = m_panel;
    statusBar()->showMessage(tr("Pick a data source, type a subset or query and press Go."));
}

DemoWindow::~DemoWindow()
{
    DeleteScoutpane(m_panel);
}

bool DemoWindow::event(QEvent* event)
{
    if (UM_DBSCOUT_ITEM_SELECTED != 0 && event->type() == QEvent::Type(UM_DBSCOUT_ITEM_SELECTED)) {
        onItemSelected();
        return true;
    }
    return QMainWindow::event(event);
}

void DemoWindow::onItemSelected()
{
    std::string url;
    std::string name;
    int flag = 0;
    if (m_panel && m_panel->GetURL(url, flag, name))
        statusBar()->showMessage(tr("Picked %1").arg(QString::fromLocal8Bit(name)));
}
