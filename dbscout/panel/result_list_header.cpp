#include "panel/result_list_header.h"

#include <QIcon>
#include <QPixmap>

namespace Dbscout {

namespace {
// Titles of many pages of columns; a full cache starts again.
constexpr qsizetype kMostKept = 256;
} // namespace

ResultListHeader::ResultListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

QSize ResultListHeader::sectionSizeFromContents(int logicalIndex) const
{
    const QAbstractItemModel* titles = model();
    const auto title = [&](Qt::ItemDataRole role) {
        return titles->headerData(logicalIndex, orientation(), role);
    };
    // A title with a size or a font of its own, or an image of another kind, is measured each time.
    const QVariant image = title(Qt::DecorationRole);
    const bool plainImage = !image.isValid() || image.metaType() == QMetaType::fromType<QIcon>() ||
                            image.metaType() == QMetaType::fromType<QPixmap>();
    if (title(Qt::SizeHintRole).isValid() || title(Qt::FontRole).isValid() || !plainImage)
        return QHeaderView::sectionSizeFromContents(logicalIndex);

    const qint64 imageKey = !image.isValid() ? 0
                            : image.metaType() == QMetaType::fromType<QIcon>()
                                ? image.value<QIcon>().cacheKey()
                                : image.value<QPixmap>().cacheKey();
    // The sizes stand for one font and one style: the header works out its own sizes again when
    // either changes, and may do so before it hears of the change.
    if (font() != m_font || style() != m_style) {
        m_sizes.clear();
        m_font = font();
        m_style = style();
    }
    TitleKey key{title(Qt::DisplayRole).toString(), imageKey, isSortIndicatorShown()};
    const auto found = m_sizes.constFind(key);
    if (found != m_sizes.constEnd())
        return *found;
    const QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (m_sizes.size() >= kMostKept)
        m_sizes.clear();
    m_sizes.insert(std::move(key), size);
    return size;
}

} // namespace Dbscout
