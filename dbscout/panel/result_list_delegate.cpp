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
// right, elided, not being edited.
bool isPlainCell(const QStyleOptionViewItem& option)
{
    return option.direction == Qt::LeftToRight && option.textElideMode != Qt::ElideNone &&
           !(option.features & QStyleOptionViewItem::WrapText) &&
           !(option.state & QStyle::State_Editing) && isSimpleText(option.text);
}

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
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();

    // The text box does not depend on the text, as long as there is one: a blank stands in, so
    // that the style does not measure the real text.
    const QString text = cell.text;
    cell.text = QStringLiteral(" ");
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget)
                          .adjusted(margin, 0, -margin, 0);
    cell.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    painter->save();
    painter->setFont(cell.font);
    painter->setPen(textColour(cell));
    painter->setClipRect(cell.rect, Qt::IntersectClip);
    painter->drawText(box, int(QStyle::visualAlignment(cell.direction, cell.displayAlignment)),
                      cell.fontMetrics.elidedText(text, cell.textElideMode, box.width()));
    painter->restore();
}

} // namespace Dbscout
