#pragma once
// The result list's column titles. A list asks for the size of every title each time its columns
// change, twice a listing, and the style measures the title's text for each; the same few titles
// come back listing after listing, so their sizes are kept for as long as the font and the style
// stay.

#include <QFont>
#include <QHash>
#include <QHeaderView>
#include <QSize>
#include <QString>

namespace Dbscout {

class ResultListHeader final : public QHeaderView
{
public:
    explicit ResultListHeader(QWidget* parent);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    struct TitleKey
    {
        QString text;
        qint64 image; // the cache key of the title's image, 0 for none
        bool sortIndicator;
        friend bool operator==(const TitleKey&, const TitleKey&) = default;
        friend size_t qHash(const TitleKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.image, key.sortIndicator);
        }
    };

    mutable QHash<TitleKey, QSize> m_sizes;
    mutable QFont m_font;
    mutable const QStyle* m_style = nullptr;
};

} // namespace Dbscout
