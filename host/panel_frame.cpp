#include "panel_frame.h"

#include <QResizeEvent>

namespace {

constexpr UINT kPanelControlId = 1;

} // namespace

PanelFrame::PanelFrame(QWidget* parent) : QWidget(parent) {}

PanelFrame::~PanelFrame()
{
    stop();
}

bool PanelFrame::start(const PanelSetup& setup)
{
    stop();
    m_panel = CreateScoutpane(setup.initial.c_str(), setup.settingsKey, setup.openMode ? 1 : 0,
                              setup.dataType, setup.lockName ? 1 : 0, setup.initialIsName ? 1 : 0);
    if (!m_panel)
        return false;
    m_built = false;
    ++m_started;
    m_panel->installEventFilter(this);
    if (!m_panel->Create(this, rect(), kPanelControlId, WS_CHILD | WS_VISIBLE)) {
        DeleteScoutpane(m_panel);
        m_panel = nullptr;
        return false;
    }
    return true;
}

void PanelFrame::stop()
{
    if (!m_panel)
        return;
    // Deleting the panel destroys its window first, which saves its layouts and histories.
    DeleteScoutpane(m_panel);
    m_panel = nullptr;
}

PanelPick PanelFrame::currentPick() const
{
    PanelPick pick;
    if (m_panel)
        pick.valid = m_panel->GetURL(pick.url, pick.flag, pick.name);
    return pick;
}

bool PanelFrame::event(QEvent* event)
{
    if (UM_DBSCOUT_ITEM_SELECTED != 0 && event->type() == QEvent::Type(UM_DBSCOUT_ITEM_SELECTED)) {
        emit picked();
        return true;
    }
    return QWidget::event(event);
}

bool PanelFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel && event->type() == QEvent::ChildAdded) {
        if (auto* window = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            window->installEventFilter(this);
    } else if (m_panel && !m_built && event->type() == QEvent::Show &&
               watched->parent() == m_panel) {
        m_built = true;
        QMetaObject::invokeMethod(
            this,
            [this, started = m_started] {
                if (started == m_started && m_panel)
                    emit panelBuilt();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void PanelFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_panel)
        m_panel->setGeometry(QRect(QPoint(0, 0), event->size()));
}
