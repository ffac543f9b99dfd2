#pragma once
// Paints the cells of the result list as the style does, but lays out each cell's text once
// instead of three times (size, elision, drawing), and keeps what it laid out: the text box of a
// column and the elided, laid-out text of a cell are made at their first paint, and later paints
// (scrolling, selecting, another window passing over) reuse them. The style's own text painting
// was most of the time from an answer to a painted list.

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace Dbscout {

class ResultListDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    struct PlaceKey
    {
        QSize cell;
        QSize icon;
        int features;
        int iconPosition;
        friend bool operator==(const PlaceKey&, const PlaceKey&) = default;
        friend size_t qHash(const PlaceKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.cell.width(), key.cell.height(), key.icon.width(),
                              key.icon.height(), key.features, key.iconPosition);
        }
    };
    struct TextKey
    {
        QString text;
        int width;
        friend bool operator==(const TextKey&, const TextKey&) = default;
        friend size_t qHash(const TextKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.width);
        }
    };

    // Where a cell's text goes, relative to the cell: the top left corner of its line, and the
    // width it is elided to; and where its icon goes.
    struct TextPlace
    {
        QPointF origin;
        int width;
        QRect icon;
    };
    const TextPlace& textPlace(const QStyleOptionViewItem& cell) const;
    // The text elided to the box's width and laid out.
    const QStaticText& laidOutText(const QStyleOptionViewItem& cell, int width) const;
    // Forgets what was laid out when the list's font, its resolution, the style or the eliding
    // changed, and sees whether the style is one of Qt's own.
    void checkLayoutBasis(const QStyleOptionViewItem& cell) const;

    mutable QFont m_font;
    mutable QFontMetrics m_metrics{m_font};
    mutable const QStyle* m_style = nullptr;
    mutable bool m_qtStyle = false; // Fusion or Windows as made by name, without a style sheet
    mutable Qt::TextElideMode m_elideMode = Qt::ElideNone;
    mutable QHash<PlaceKey, TextPlace> m_places;
    mutable QHash<TextKey, QStaticText> m_texts;
};

} // namespace Dbscout
