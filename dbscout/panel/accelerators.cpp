#include "panel/accelerators.h"

#include "resources/ids.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace Dbscout {

namespace {
constexpr int IDCANCEL = 2;
}

const std::vector<Accelerator>& panelAccelerators()
{
    static const std::vector<Accelerator> table = {
        {QKeyCombination(Qt::Key_Return), ID_ENTER},
        {QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter), ID_ENTER},
        {QKeyCombination(Qt::Key_Enter), ID_ENTER},
        {QKeyCombination(Qt::Key_F5), ID_RELOAD},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp), ID_PREVIOUS_PAGE},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageDown), ID_NEXT_PAGE},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_G), ID_GOTO},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_O), ID_CHECK_OUT},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_I), ID_CHECK_IN},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_U), ID_UNDO_CHECK_OUT},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_S), ID_CREATE_EMPTY_SUBSET},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_B), ID_CREATE_SUBSET_FROM_SELECTION},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_A), ID_OBJECT_ACCESS},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_C), ID_SUBSET_ACCESS},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_P), ID_OPTIONS},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_Home), ID_NONE_HOME},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_End), ID_NONE_END},
        {QKeyCombination(Qt::Key_F2), ID_NONE_F2},
        {QKeyCombination(Qt::Key_Escape), IDCANCEL},
    };
    return table;
}

AcceleratorFilter::AcceleratorFilter(QWidget* owner, std::vector<Accelerator> table,
                                     std::function<void(int)> dispatch)
    : QObject(owner), m_owner(owner), m_table(std::move(table)), m_dispatch(std::move(dispatch))
{
    qApp->installEventFilter(this);
}

AcceleratorFilter::~AcceleratorFilter()
{
    qApp->removeEventFilter(this);
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event)
{
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (!isKey || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != m_owner && !m_owner->isAncestorOf(widget))
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers =
        keyEvent->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier |
                                 Qt::MetaModifier | Qt::KeypadModifier);
    const QKeyCombination pressed(modifiers, Qt::Key(keyEvent->key()));
    for (const Accelerator& accelerator : m_table) {
        if (accelerator.key != pressed)
            continue;
        if (event->type() == QEvent::ShortcutOverride) {
            // Claim the key so that no shortcut of the host takes it; it comes back as a press.
            event->accept();
            return true;
        }
        m_dispatch(accelerator.command);
        return true;
    }
    return false;
}

} // namespace Dbscout
