#include "record_batch.h"

#include "local_copier.h"
#include "object_saver.h"
#include "record.h"

#include <QTimer>

RecordBatch::RecordBatch(LocalCopier& copier, QObject* parent) : QObject(parent), m_copier(copier)
{
    connect(&m_fetcher, &BatchFetcher::fetched, this, &RecordBatch::onFetched);
    connect(&m_fetcher, &BatchFetcher::failed, this, [this](size_t index, const QString& why) {
        set(index, BatchItem::State::Failed, why);
    });
    connect(&m_fetcher, &BatchFetcher::finished, this, &RecordBatch::finishIfDone);
    connect(&m_copier, &LocalCopier::finished, this, &RecordBatch::onCopied);
}

void RecordBatch::start(const std::string& url, bool copy)
{
    cancel();
    m_pick = splitPickedIds(url);
    m_copy = copy;
    m_items.clear();
    std::vector<size_t> all;
    for (const std::string& id : m_pick.ids) {
        all.push_back(m_items.size());
        m_items.push_back({shownId(id), BatchItem::State::Waiting, QString()});
    }
    run(all);
}

void RecordBatch::retry()
{
    if (isRunning())
        return;
    std::vector<size_t> again;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const BatchItem::State state = m_items[i].state;
        if (state == BatchItem::State::Failed || state == BatchItem::State::Cancelled) {
            again.push_back(i);
            set(i, BatchItem::State::Waiting);
        }
    }
    if (!again.empty())
        run(again);
}

void RecordBatch::run(const std::vector<size_t>& indexes)
{
    m_active = true;
    if (m_copy)
        m_copier.beginBatch();
    m_fetcher.start(m_pick, indexes);
}

void RecordBatch::cancel()
{
    m_fetcher.cancel();
    for (const auto& [index, bytes] : std::exchange(m_toCopy, {}))
        set(index, BatchItem::State::Cancelled, tr("opened; cancelled before it was copied"));
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].state == BatchItem::State::Waiting)
            set(i, BatchItem::State::Cancelled, tr("cancelled before it was opened"));
    finishIfDone();
}

void RecordBatch::onFetched(size_t index, const QByteArray& bytes)
{
    set(index, BatchItem::State::Opened);
    emit opened(index, bytes, publicAddress(m_pick.urlFor({index})));
    if (!m_copy)
        return;
    m_toCopy.emplace_back(index, bytes);
    scheduleCopy();
}

void RecordBatch::scheduleCopy()
{
    // From the event loop: every record of an answer is opened before its copies start (each
    // runs a modal Saving dialog), and a click on Cancel between two saves is seen.
    QTimer::singleShot(0, this, &RecordBatch::copyNext);
}

void RecordBatch::copyNext()
{
    if (m_copying || m_copier.isBusy())
        return;
    if (m_toCopy.empty())
        return finishIfDone();
    const auto [index, bytes] = std::move(m_toCopy.front());
    m_toCopy.pop_front();
    m_copying = index;
    m_copier.copy(bytes, readObjectRecord(bytes), publicAddress(m_pick.urlFor({index})));
}

void RecordBatch::onCopied(CopyOutcome outcome, const QString& message)
{
    if (!m_copying) { // a copy of a record opened alone, which the batch's copies waited for
        if (!m_toCopy.empty())
            scheduleCopy();
        return;
    }
    static constexpr BatchItem::State kStates[] = {
        BatchItem::State::Copied, BatchItem::State::Replaced, BatchItem::State::Skipped,
        BatchItem::State::Failed, BatchItem::State::Cancelled};
    const BatchItem::State state = kStates[int(outcome)];
    set(*std::exchange(m_copying, std::nullopt), state,
        state == BatchItem::State::Copied ? QString() : message);
    // The Saving dialog is modal: its Cancel (or Esc) is how the user stops a batch of copies.
    if (outcome == CopyOutcome::Cancelled)
        return cancel();
    scheduleCopy();
}

void RecordBatch::set(size_t index, BatchItem::State state, const QString& why)
{
    m_items[index].state = state;
    m_items[index].why = why;
    emit itemChanged(index);
}

void RecordBatch::finishIfDone()
{
    if (!m_active || m_fetcher.isRunning() || m_copying || !m_toCopy.empty())
        return;
    m_active = false;
    if (m_copy)
        m_copier.endBatch();
    emit finished();
}

int RecordBatch::ended() const
{
    int count = 0;
    for (const BatchItem& item : m_items)
        count += item.state != BatchItem::State::Waiting &&
                 !(m_copy && item.state == BatchItem::State::Opened);
    return count;
}

bool RecordBatch::hasRetries() const
{
    for (const BatchItem& item : m_items)
        if (item.state == BatchItem::State::Failed || item.state == BatchItem::State::Cancelled)
            return true;
    return false;
}

QString RecordBatch::stateText(BatchItem::State state)
{
    switch (state) {
    case BatchItem::State::Waiting:
        return tr("waiting");
    case BatchItem::State::Opened:
        return tr("opened");
    case BatchItem::State::Copied:
        return tr("copied");
    case BatchItem::State::Replaced:
        return tr("replaced");
    case BatchItem::State::Skipped:
        return tr("skipped");
    case BatchItem::State::Failed:
        return tr("failed");
    case BatchItem::State::Cancelled:
        return tr("cancelled");
    }
    return {};
}

QString RecordBatch::summary() const
{
    // In the order of the states, those that occur.
    QStringList parts;
    for (int state = 0; state <= int(BatchItem::State::Cancelled); ++state) {
        int count = 0;
        for (const BatchItem& item : m_items)
            count += int(item.state) == state;
        if (count > 0)
            parts << QStringLiteral("%1 %2").arg(count).arg(stateText(BatchItem::State(state)));
    }
    const QString records =
        m_items.size() == 1 ? tr("1 record") : tr("%1 records").arg(m_items.size());
    return tr("%1: %2.").arg(records, parts.join(QLatin1String(", ")));
}
