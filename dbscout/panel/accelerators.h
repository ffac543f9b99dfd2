#pragma once
// The panel's accelerator table: keys that become commands before the control with the focus
// sees them, as the panel's keyboard interface always worked (Ctrl+A selects objects' access
// rights, not the text of an edit field).

#include <QKeyCombination>
#include <QObject>

#include <functional>
#include <vector>

class QWidget;

namespace Dbscout {

struct Accelerator
{
    QKeyCombination key;
    int command;
};

// The panel's table: Enter, F5, Ctrl+PgUp/PgDn, Ctrl+G/O/I/U/S/B/A/C/P, and Ctrl+Home,
// Ctrl+End and F2, which are bound to commands nothing handles (the keys are swallowed). Esc
// gives the cancel command (2), which the panel turns into Stop.
const std::vector<Accelerator>& panelAccelerators();

// Watches key presses aimed at owner or any widget inside its window and hands matching keys to
// dispatch as commands; those keys go no further.
class AcceleratorFilter final : public QObject
{
public:
    AcceleratorFilter(QWidget* owner, std::vector<Accelerator> table,
                      std::function<void(int)> dispatch);
    ~AcceleratorFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    std::vector<Accelerator> m_table;
    std::function<void(int)> m_dispatch;
};

} // namespace Dbscout
