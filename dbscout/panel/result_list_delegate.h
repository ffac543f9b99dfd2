#pragma once
// Paints the cells of the result list as the style does, but lays out each cell's text once
// instead of three times (size, elision, drawing): the style's own text painting was most of
// the time from an answer to a painted list.

#include <QStyledItemDelegate>

namespace Dbscout {

class ResultListDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace Dbscout
