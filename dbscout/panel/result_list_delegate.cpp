#include "panel/result_list_delegate.h"

#include <QApplication>
#include <QPainter>

namespace Dbscout {

namespace {

// The text colour the style would use for the item's state.
QColor textColour(const QStyleOptionViewItem& option)
{
    QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    return option.palette.color(
        group, option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
}

// Whether text is in scripts written left to right without joining (Latin, Greek, Cyrillic,
// Armenian) and on one line: there, drawing it as one run is what the style's layout does.
bool isSimpleText(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x0590 || c.unicode() < 0x20)
            return false;
    return !text.isEmpty();
}

// Cells that the simple drawing shows exactly as the style: one line of simple text, left to
// right, on the left and centred in height, elided, not being edited, without the focus (whose
// frame follows the text).
bool isPlainCell(const QStyleOptionViewItem& option)
{
    return option.direction == Qt::LeftToRight && option.textElideMode != Qt::ElideNone &&
           (option.displayAlignment & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)) ==
               (Qt::AlignLeft | Qt::AlignVCenter) &&
           !(option.features & QStyleOptionViewItem::WrapText) &&
           !(option.state & (QStyle::State_Editing | QStyle::State_HasFocus)) &&
           isSimpleText(option.text);
}

// Whether the style draws nothing in the cell but its icon once its text is taken out: Qt's own
// styles draw there only a selection, a background, alternating rows, a check box or an icon.
// Another style, or a style sheet, may draw anything and is always asked.
bool styleDrawsOnlyTheIcon(const QStyleOptionViewItem& cell, bool qtStyle)
{
    return qtStyle &&
           !(cell.features &
             (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::Alternate)) &&
           !(cell.state & (QStyle::State_Selected | QStyle::State_MouseOver)) &&
           cell.backgroundBrush.style() == Qt::NoBrush;
}

// The icon as Qt's own styles draw it for a cell that is not selected.
void paintIcon(QPainter* painter, const QStyleOptionViewItem& cell, const QRect& place)
{
    const QIcon::Mode mode = cell.state & QStyle::State_Enabled ? QIcon::Normal : QIcon::Disabled;
    const QIcon::State state = cell.state & QStyle::State_Open ? QIcon::On : QIcon::Off;
    cell.icon.paint(painter, place, cell.decorationAlignment, mode, state);
}

// Enough for the cells of several pages of 100 rows; a full cache starts again.
constexpr qsizetype kMostKept = 4096;

} // namespace

void ResultListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (!isPlainCell(cell)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    checkLayoutBasis(cell);
    const TextPlace& place = textPlace(cell);
    const QStaticText& text = laidOutText(cell, place.width);
    const bool iconOnly = styleDrawsOnlyTheIcon(cell, m_qtStyle);
    // The rest of the cell without the text, whose box the style need not work out again.
    if (!iconOnly) {
        cell.text.clear();
        cell.features &= ~QStyleOptionViewItem::HasDisplay;
        m_style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    }

    painter->save();
    painter->setClipRect(cell.rect, Qt::IntersectClip);
    if (iconOnly && (cell.features & QStyleOptionViewItem::HasDecoration))
        paintIcon(painter, cell, place.icon.translated(cell.rect.topLeft()));
    painter->setFont(cell.font);
    painter->setPen(textColour(cell));
    painter->drawStaticText(place.origin + cell.rect.topLeft(), text);
    painter->restore();
}

void ResultListDelegate::checkLayoutBasis(const QStyleOptionViewItem& cell) const
{
    const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    // The metrics stand for the font at the screen's resolution.
    if (style == m_style && cell.font == m_font && cell.fontMetrics == m_metrics &&
        cell.textElideMode == m_elideMode)
        return;
    m_style = style;
    m_qtStyle = style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 ||
                style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0;
    m_font = cell.font;
    m_metrics = cell.fontMetrics;
    m_elideMode = cell.textElideMode;
    m_places.clear();
    m_texts.clear();
}

const ResultListDelegate::TextPlace&
ResultListDelegate::textPlace(const QStyleOptionViewItem& cell) const
{
    const PlaceKey key{cell.rect.size(), cell.decorationSize, int(cell.features),
                       int(cell.decorationPosition)};
    const auto found = m_places.constFind(key);
    if (found != m_places.constEnd())
        return *found;
    // The box does not depend on the text, as long as there is one: a blank stands in, so that
    // the style does not measure the real text.
    QStyleOptionViewItem blank = cell;
    blank.rect.moveTopLeft(QPoint(0, 0));
    blank.text = QStringLiteral(" ");
    const int margin = m_style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
    const QRect box = m_style->subElementRect(QStyle::SE_ItemViewItemText, &blank, cell.widget)
                          .adjusted(margin, 0, -margin, 0);
    const QRect icon =
        m_style->subElementRect(QStyle::SE_ItemViewItemDecoration, &blank, cell.widget);
    // One line placed in the box as drawText centres it.
    const qreal top = box.top() + (box.height() - QFontMetricsF(cell.font).height()) / 2;
    if (m_places.size() >= kMostKept)
        m_places.clear();
    return m_places.insert(key, TextPlace{QPointF(box.left(), top), box.width(), icon}).value();
}

const QStaticText& ResultListDelegate::laidOutText(const QStyleOptionViewItem& cell,
                                                   int width) const
{
    TextKey key{cell.text, width};
    const auto found = m_texts.constFind(key);
    if (found != m_texts.constEnd())
        return *found;
    QStaticText text(cell.fontMetrics.elidedText(cell.text, cell.textElideMode, width));
    text.setTextFormat(Qt::PlainText);
    text.setPerformanceHint(QStaticText::AggressiveCaching);
    text.prepare(QTransform(), cell.font);
    // A resized column adds texts of another width: what no longer fits is forgotten at once.
    if (m_texts.size() >= kMostKept)
        m_texts.clear();
    return m_texts.insert(std::move(key), std::move(text)).value();
}

} // namespace Dbscout
