#pragma once
// The result list's scroll bars. Every listing gives the list new rows, and its scroll bar is
// painted again even where it looks as before: a page of 100 rows at its top after another. The
// style draws a scroll bar from gradients, which costs more than the rest of the list's frame, so
// the bar keeps its last picture and shows it again for as long as nothing that the style draws
// from has changed.

#include <QPixmap>
#include <QScrollBar>
#include <QStyle>

class QStyleOptionSlider;

namespace Dbscout {

class ResultListScrollBar final : public QScrollBar
{
public:
    ResultListScrollBar(Qt::Orientation orientation, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Everything of the bar that the style draws from.
    struct Look
    {
        QSize size;
        qreal pixelRatio = 0;
        const QStyle* style = nullptr;
        qint64 palette = 0;
        int state = 0;
        int direction = 0;
        int minimum = 0;
        int maximum = 0;
        int sliderPosition = 0;
        int pageStep = 0;
        bool upsideDown = false;
        friend bool operator==(const Look&, const Look&) = default;
    };

    bool keepsPicture(const QStyleOptionSlider& option) const;

    Look m_look;
    QPixmap m_picture;
};

} // namespace Dbscout
