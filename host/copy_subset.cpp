#include "copy_subset.h"

#include <QTimer>

CopySubset::CopySubset(QObject* parent) : QObject(parent)
{
    connect(&m_requests, &ObjectFetcher::finished, this, &CopySubset::onAnswer);
}

void CopySubset::ensure(const CopyPlace& place, const std::string& kind, const QString& where,
                        std::function<void(const QString& failure)> done)
{
    m_requests.stop();
    m_place = place;
    m_kind = kind;
    m_where = where;
    m_making = false;
    m_done = std::move(done);
    if (place.subset().isEmpty() || m_known.count(place.subsetNamesUrl(kind))) {
        QTimer::singleShot(0, this, [this] { end({}); });
        return;
    }
    m_requests.fetch(place.subsetNamesUrl(kind), "dir");
}

void CopySubset::forget(const CopyPlace& place, const std::string& kind)
{
    m_known.erase(place.subsetNamesUrl(kind));
}

void CopySubset::onAnswer(const QByteArray& bytes, const QString& error)
{
    const QString subset = m_place->subset();
    if (m_making) {
        return end(error.isEmpty()
                       ? QString()
                       : tr("Not copied: the subset %1 could not be made: %2").arg(subset, error));
    }
    if (!error.isEmpty())
        return end(tr("Not copied: the subsets of %1 could not be listed: %2").arg(m_where, error));
    if (ObjectFetcher::subsetNames(bytes).contains(subset))
        return end({});
    m_making = true;
    m_requests.fetch(m_place->createSubsetUrl(m_kind), "dir");
}

void CopySubset::end(const QString& failure)
{
    if (failure.isEmpty())
        m_known.insert(m_place->subsetNamesUrl(m_kind));
    if (auto done = std::exchange(m_done, nullptr))
        done(failure);
}
