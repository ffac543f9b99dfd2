#pragma once
// Opening a multi-selection, and with "cc: to Local DB" copying each record: the records are
// fetched in few handler runs (BatchFetcher) and copied as they arrive, many in one handler run
// (BatchCopier, whose saves each store a record whole or not at all). Every record ends with its
// own outcome; a cancelled batch says which were opened and copied, and the failed and
// cancelled ones can be tried again.

#include "batch_answer.h"
#include "batch_copier.h"
#include "batch_fetcher.h"

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class LocalCopier;
enum class CopyOutcome;

struct BatchItem
{
    enum class State { Waiting, Opened, Copied, Replaced, Skipped, Failed, Cancelled };
    QString id; // as people write it; a molb store's record, by its name once opened
    State state = State::Waiting;
    QString why; // what happened, when it is not plain
};

class RecordBatch final : public QObject
{
    Q_OBJECT

public:
    RecordBatch(LocalCopier& copier, QObject* parent);

    // Opens every id of a picked object URL whose name is a comma list; with copy set, copies
    // each record opened. A batch that runs is cancelled first.
    void start(const std::string& url, bool copy);
    // Tries the failed and cancelled records again.
    void retry();
    // Stops: nothing more is fetched, and only the record being saved is finished; the batch
    // ends once the copies under way have their outcome.
    void cancel();
    bool isRunning() const { return m_active; }

    const std::vector<BatchItem>& items() const { return m_items; }
    bool copies() const { return m_copy; }
    // Records that have their outcome.
    int ended() const;
    bool hasRetries() const;
    // What became of the records, as one line: "120 records: 119 copied, 1 failed."
    QString summary() const;
    static QString stateText(BatchItem::State state);

signals:
    // A record was opened: its bytes and its address (without query).
    void opened(size_t index, const QByteArray& bytes, const std::string& origin);
    void itemChanged(size_t index);
    void finished();

private:
    void run(const std::vector<size_t>& indexes);
    void onFetched(size_t index, const QByteArray& bytes);
    void onCopied(size_t key, CopyOutcome outcome, const QString& message);
    void scheduleCopy();
    void copyNext();
    void set(size_t index, BatchItem::State state, const QString& why = {});
    void finishIfDone();

    BatchCopier m_copier;
    BatchFetcher m_fetcher;
    PickedIds m_pick;
    bool m_copy = false;
    std::vector<BatchItem> m_items;
    std::vector<CopyItem> m_toCopy; // keyed by m_keyBase + index
    size_t m_keyBase = 0;
    bool m_active = false; // started, and finished() not yet emitted
};
