#pragma once
// The subset a copy place names, made sure of before copies go there: the subsets of the kind
// that the user may write are listed and, when the place's is missing, it is made through the
// molb protocol as the panel's "New Subset" makes subsets. The subsets found or made are
// remembered, so that the next copies ask nothing.

#include "copy_place.h"
#include "object_fetcher.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <set>
#include <string>

class CopySubset final : public QObject
{
    Q_OBJECT

public:
    explicit CopySubset(QObject* parent = nullptr);

    // Calls done, always from the event loop, with an empty text once the subset of place for
    // kind exists (or the place names none), else with why it does not ("Not copied: ...").
    // where names the place in the messages. A new call replaces one that runs.
    void ensure(const CopyPlace& place, const std::string& kind, const QString& where,
                std::function<void(const QString& failure)> done);
    // The subset may have gone away: the next copy of kind looks again.
    void forget(const CopyPlace& place, const std::string& kind);

private:
    void onAnswer(const QByteArray& bytes, const QString& error);
    void end(const QString& failure);

    ObjectFetcher m_requests;
    std::set<std::string> m_known; // the subsets requests, known to exist
    std::optional<CopyPlace> m_place;
    std::string m_kind;
    QString m_where;
    bool m_making = false; // listed, and the subset is being made
    std::function<void(const QString&)> m_done;
};
