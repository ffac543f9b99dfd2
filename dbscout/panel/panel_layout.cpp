#include "panel/scout_panel.h"

#include "operations/menu_toolbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {
// The dialog-frame metrics that space the controls.
constexpr int kFrameX = 3;
constexpr int kFrameY = 3;

void place(QWidget* control, int x, int y, int width, int height)
{
    if (!control)
        return;
    control->setGeometry(x, y, std::max(0, width), std::max(0, height));
}
} // namespace

void CScoutPanel::Layout(int cx, int cy)
{
    const int mx = kFrameX;
    const int my = kFrameY;
    const int L = m_stSourceLabel ? m_stSourceLabel->width() : 0;
    const int G = m_btnGo ? m_btnGo->width() : 0;
    const int H = m_cbDataSource ? m_cbDataSource->height() : 0;

    // Row 1: data source and toolbar.
    place(m_stSourceLabel, mx, my, L, m_stSourceLabel ? m_stSourceLabel->height() : 0);
    place(m_cbDataSource, L + mx, my, cx - 3 * mx - G - L, H);
    place(m_toolBar, cx - G - mx, my, G, m_toolBar ? m_toolBar->height() : 0);

    // Row 2: subset or query and Go!.
    const int row2 = H + 2 * my;
    place(m_stFilterLabel, mx, row2, L, m_stFilterLabel ? m_stFilterLabel->height() : 0);
    place(m_cbQuery, L + mx, row2, cx - 3 * mx - G - L, m_cbQuery ? m_cbQuery->height() : 0);
    place(m_btnGo, cx - G - mx, row2, G, m_btnGo ? m_btnGo->height() : 0);

    // Status line at the bottom.
    const int statusHeight = m_stStatus ? m_stStatus->height() : 0;
    place(m_stStatus, mx, cy - my - statusHeight, cx - 2 * mx, statusHeight);
    const int S = statusHeight + my;

    // Name row above it; the check box, once shown, takes the right end.
    const int nameBottom = cy - S - my;
    const int nameHeight = m_edName ? m_edName->height() : 0;
    place(m_stNameLabel, mx, nameBottom - nameHeight, L, nameHeight);
    if (m_chkLocalCopy && m_chkLocalCopy->isVisibleTo(this)) {
        const int B = m_chkLocalCopy->width();
        place(m_edName, L + mx, nameBottom - nameHeight, cx - L - B - 4 * mx, nameHeight);
        place(m_chkLocalCopy, cx - B, nameBottom - m_chkLocalCopy->height(), B,
              m_chkLocalCopy->height());
    } else {
        place(m_edName, L + mx, nameBottom - nameHeight, cx - L - 2 * mx, nameHeight);
    }

    place(m_list, mx, 2 * H + 3 * my, cx - 2 * mx, cy - 5 * my - 3 * H - S);

    for (QWidget* control : {static_cast<QWidget*>(m_stSourceLabel),
                             static_cast<QWidget*>(m_stFilterLabel),
                             static_cast<QWidget*>(m_stNameLabel), static_cast<QWidget*>(m_edName),
                             static_cast<QWidget*>(m_list)})
        if (control)
            control->update();
}
