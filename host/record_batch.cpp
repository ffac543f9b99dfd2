#include "record_batch.h"

#include "local_copier.h"
#include "object_saver.h"
#include "record.h"

#include <QTimer>

#include <iterator>

namespace {

// Records saved in one handler run at most, while more are being fetched. A run costs its
// handler's start and the store's check of the password (tens of milliseconds), so a batch of a
// few hundred records is saved in one run once fetched, and a longer one in runs of this size
// beside the fetching.
constexpr size_t kCopiesPerRun = 500;

} // namespace

RecordBatch::RecordBatch(LocalCopier& copier, QObject* parent) : QObject(parent), m_copier(copier)
{
    connect(&m_fetcher, &BatchFetcher::fetched, this, &RecordBatch::onFetched);
    connect(&m_fetcher, &BatchFetcher::failed, this, [this](size_t index, const QString& why) {
        set(index, BatchItem::State::Failed, why);
    });
    // Records fetched while a copy ran wait for the end of the fetch or for a full run.
    connect(&m_fetcher, &BatchFetcher::finished, this, &RecordBatch::scheduleCopy);
    connect(&m_copier, &BatchCopier::copied, this, &RecordBatch::onCopied);
    connect(&m_copier, &BatchCopier::finished, this, &RecordBatch::scheduleCopy);
}

void RecordBatch::start(const std::string& url, bool copy)
{
    cancel();
    // A copy run of the batch before may still end: its outcomes are told apart by their key.
    m_keyBase += m_items.size();
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
    m_copier.stop();
    for (const CopyItem& item : std::exchange(m_toCopy, {}))
        set(item.index - m_keyBase, BatchItem::State::Cancelled,
            tr("opened; cancelled before it was copied"));
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].state == BatchItem::State::Waiting)
            set(i, BatchItem::State::Cancelled, tr("cancelled before it was opened"));
    finishIfDone();
}

void RecordBatch::onFetched(size_t index, const QByteArray& bytes)
{
    // A molb store's pick names its objects by store ids, which its list never shows: once
    // opened, the record is named as the list names it.
    if (m_pick.before.starts_with("molb:")) {
        if (const QString name = recordName(readObjectRecord(bytes)); !name.isEmpty())
            m_items[index].id = name;
    }
    set(index, BatchItem::State::Opened);
    const std::string origin = publicAddress(m_pick.urlFor({index}));
    emit opened(index, bytes, origin);
    if (!m_copy)
        return;
    m_toCopy.push_back({m_keyBase + index, bytes, origin});
    scheduleCopy();
}

void RecordBatch::scheduleCopy()
{
    // From the event loop: every record of an answer is opened before their copies start, and
    // a click on Cancel is seen between two runs.
    QTimer::singleShot(0, this, &RecordBatch::copyNext);
}

void RecordBatch::copyNext()
{
    if (m_copier.isBusy())
        return;
    if (m_toCopy.empty())
        return finishIfDone();
    // One run for all that have arrived, once the fetch has ended or a run's worth is there.
    if (m_fetcher.isRunning() && m_toCopy.size() < kCopiesPerRun)
        return;
    m_copier.copy(std::exchange(m_toCopy, {}));
}

void RecordBatch::onCopied(size_t key, CopyOutcome outcome, const QString& message)
{
    if (key < m_keyBase)
        return; // of a batch replaced by this one
    const size_t index = key - m_keyBase;
    static constexpr BatchItem::State kStates[] = {
        BatchItem::State::Copied, BatchItem::State::Replaced, BatchItem::State::Skipped,
        BatchItem::State::Failed, BatchItem::State::Cancelled};
    const BatchItem::State state = kStates[int(outcome)];
    set(index, state, state == BatchItem::State::Copied ? QString() : message);
}

void RecordBatch::set(size_t index, BatchItem::State state, const QString& why)
{
    m_items[index].state = state;
    m_items[index].why = why;
    emit itemChanged(index);
}

void RecordBatch::finishIfDone()
{
    if (!m_active || m_fetcher.isRunning() || m_copier.isBusy() || !m_toCopy.empty())
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
    // In the order of BatchItem::State.
    static const char* const texts[] = {
        QT_TR_NOOP("waiting"),   QT_TR_NOOP("opened"),  QT_TR_NOOP("copied"),
        QT_TR_NOOP("replaced"),  QT_TR_NOOP("skipped"), QT_TR_NOOP("failed"),
        QT_TR_NOOP("cancelled"),
    };
    static_assert(std::size(texts) == static_cast<size_t>(BatchItem::State::Cancelled) + 1);
    return tr(texts[static_cast<int>(state)]);
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
