#include "panel/result_list_scroll_bar.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleOptionSlider>

namespace Dbscout {

ResultListScrollBar::ResultListScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{}

// Only the bar itself knows which of its parts the pointer is on or holds, and a style sheet or a
// fading bar may draw from more than the bar's state: the style draws those each time.
bool ResultListScrollBar::keepsPicture(const QStyleOptionSlider& option) const
{
    return !underMouse() && !isSliderDown() && QGuiApplication::mouseButtons() == Qt::NoButton &&
           !testAttribute(Qt::WA_StyleSheet) &&
           !style()->styleHint(QStyle::SH_ScrollBar_Transient, &option, this);
}

void ResultListScrollBar::paintEvent(QPaintEvent* event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    if (!keepsPicture(option)) {
        m_picture = QPixmap();
        QScrollBar::paintEvent(event);
        return;
    }
    const Look look{size(),
                    devicePixelRatioF(),
                    style(),
                    option.palette.cacheKey(),
                    int(option.state),
                    int(option.direction),
                    option.minimum,
                    option.maximum,
                    option.sliderPosition,
                    option.pageStep,
                    option.upsideDown};
    if (m_picture.isNull() || look != m_look) {
        m_picture = QPixmap(size() * look.pixelRatio);
        m_picture.setDevicePixelRatio(look.pixelRatio);
        m_picture.fill(Qt::transparent);
        QPainter painter(&m_picture);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
        m_look = look;
    }
    QPainter(this).drawPixmap(0, 0, m_picture);
}

} // namespace Dbscout
