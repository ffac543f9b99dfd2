#pragma once
// The panel's one-button toolbar at the top right. Its face runs a command of the panel (Go to);
// its drop-down arrow asks the panel for the context menu, placed under the button.

#include <QToolButton>

#include <functional>

namespace Dbscout {

class CMenuToolBar final : public QToolButton
{
    Q_OBJECT
public:
    // target receives UM_DBSCOUT_POP_MENU (wParam 0, lParam the packed screen point) when the
    // arrow is pressed; onCommand runs the face's command.
    CMenuToolBar(QWidget* parent, QObject* target, std::function<void(int)> onCommand);

    // Sets the face's command and image; the button draws a drop-down arrow.
    void setButton(int command, const QIcon& icon);
    int command() const { return m_command; }

    // The screen point under the button's bottom-left corner, where the menu opens.
    QPoint dropDownPoint() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QObject* m_target;
    std::function<void(int)> m_onCommand;
    int m_command = 0;
};

// Packs a screen point as a message's lParam: x in the low 16 bits, y in the high 16 bits.
long packScreenPoint(const QPoint& point);
QPoint unpackScreenPoint(long lParam);

} // namespace Dbscout
