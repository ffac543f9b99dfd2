#include "batch_fetcher.h"

namespace {

// The ncbi handler fetches up to 200 records to an efetch request (docs/ncbi.md); one run of as
// many costs one request and lets the progress move between runs.
constexpr size_t kNcbiIdsPerRun = 200;

} // namespace

BatchFetcher::BatchFetcher(QObject* parent) : QObject(parent)
{
    m_fetcher.setPartialAnswers(true);
    connect(&m_fetcher, &ObjectFetcher::finished, this, &BatchFetcher::onAnswer);
}

size_t BatchFetcher::idsPerRun(const PickedIds& pick)
{
    return pick.before.starts_with("ncbi:") ? kNcbiIdsPerRun : 1;
}

void BatchFetcher::start(const PickedIds& pick, const std::vector<size_t>& indexes)
{
    m_fetcher.stop();
    ++m_generation;
    m_pick = pick;
    m_runs.clear();
    m_running.clear();
    const size_t perRun = idsPerRun(pick);
    for (size_t first = 0; first < indexes.size(); first += perRun)
        m_runs.emplace_back(indexes.begin() + ptrdiff_t(first),
                            indexes.begin() + ptrdiff_t(std::min(indexes.size(), first + perRun)));
    runNext();
}

void BatchFetcher::cancel()
{
    m_fetcher.stop();
    ++m_generation;
    m_running.clear();
    m_runs.clear();
}

void BatchFetcher::runNext()
{
    if (m_runs.empty()) {
        m_running.clear();
        emit finished();
        return;
    }
    m_running = std::move(m_runs.front());
    m_runs.pop_front();
    m_fetcher.fetch(m_pick.urlFor(m_running));
}

void BatchFetcher::onAnswer(const QByteArray& bytes, const QString& error)
{
    const std::vector<size_t> run = std::exchange(m_running, {});
    const int generation = m_generation;
    if (!error.isEmpty()) {
        for (size_t k = 0; k < run.size() && generation == m_generation; ++k)
            emit failed(run[k], error);
    } else if (run.size() == 1) {
        emit fetched(run.front(), bytes); // a record asked alone is the whole answer
    } else {
        std::vector<std::string> ids;
        for (const size_t index : run)
            ids.push_back(m_pick.ids[index]);
        const MatchedRecords matched = matchRecords(ids, bytes);
        std::vector<bool> untold(run.size(), false);
        for (auto k = matched.untold.rbegin(); k != matched.untold.rend(); ++k) {
            untold[*k] = true;
            m_runs.push_front({run[*k]}); // asked alone, it says itself whether it exists
        }
        for (size_t k = 0; k < run.size() && generation == m_generation; ++k) {
            if (!matched.records[k].isEmpty())
                emit fetched(run[k], matched.records[k]);
            else if (!untold[k])
                emit failed(run[k],
                            matched.unreadable.isEmpty()
                                ? tr("the answer to the batch left it out: the source may have "
                                     "no such record (any more); open it alone to see why")
                                : tr("a record of the answer cannot be read (%1); it may be this "
                                     "one")
                                      .arg(matched.unreadable));
        }
    }
    if (generation == m_generation) // not cancelled nor replaced by the receivers
        runNext();
}
