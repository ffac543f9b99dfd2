#pragma once
// Fetches the records of a multi-selection: a handler that answers several ids in one run (ncbi)
// gets them in runs of many, any other one id a run. Every id asked ends once, fetched or failed
// with the reason; an id the answer left out is named, never lost. Runs one handler at a time;
// the answers arrive on the GUI thread.

#include "batch_answer.h"
#include "object_fetcher.h"

#include <QObject>

#include <deque>
#include <vector>

class BatchFetcher final : public QObject
{
    Q_OBJECT

public:
    explicit BatchFetcher(QObject* parent = nullptr);

    // Fetches the ids of pick at indexes, in order. A batch asked for while one runs replaces it.
    void start(const PickedIds& pick, const std::vector<size_t>& indexes);
    // Stops the handler that runs; the ids not fetched yet end with neither signal, and
    // finished() is not emitted.
    void cancel();
    bool isRunning() const { return !m_running.empty(); }
    // How many ids one handler run asks for, for the pick's handler.
    static size_t idsPerRun(const PickedIds& pick);

signals:
    void fetched(size_t index, const QByteArray& bytes);
    void failed(size_t index, const QString& why);
    // Every id asked has ended, or the batch was cancelled.
    void finished();

private:
    void runNext();
    void onAnswer(const QByteArray& bytes, const QString& error);

    ObjectFetcher m_fetcher;
    PickedIds m_pick;
    std::deque<std::vector<size_t>> m_runs; // waiting
    std::vector<size_t> m_running;
    int m_generation = 0; // a batch cancelled or replaced while its answer is handed out
};
