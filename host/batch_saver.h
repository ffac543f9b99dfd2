#pragma once
// Saves several records into a molb store in one run of its handler (a put with batch=yes, the
// records framed on its standard input, docs/protocol.md), and reads what became of each from
// the answer. One run at a time; the answer arrives on the GUI thread.

#include "object_fetcher.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <string>
#include <vector>

class CopyPlace;

// One record to save: its kind keyword and name there, the address it came from (its archive
// name, and "Copied from" in its revision's comment) and its bytes.
struct BatchCopy
{
    std::string kind;
    std::string name;
    std::string origin;
    QByteArray bytes;
};

struct SavedCopy
{
    enum class Result {
        Stored,    // revision 1: a new object; more: the name's new revision
        Exists,    // the name is taken and the save did not replace it
        Refused,   // not stored; why says why
        Stopped,   // not stored: the run was stopped before it
        Unanswered // the run ended without a word on it: it may be stored whole, or not at all
    };
    Result result = Result::Unanswered;
    int revision = 0;
    QString why;
};

class BatchSaver final : public QObject
{
    Q_OBJECT

public:
    explicit BatchSaver(QObject* parent = nullptr);

    // force: a taken name gets the record as its new revision.
    void save(const CopyPlace& place, const std::vector<BatchCopy>& copies, bool force);
    // Asks the run to stop after the save under way; finished() still says what was stored.
    void stop() { m_handler.terminate(); }
    bool isRunning() const { return m_handler.isRunning(); }

    // The input of a batch save of copies.
    static QByteArray frames(const std::vector<BatchCopy>& copies);
    // What the answer says of each of count records, in order; error: why the run failed, when
    // it did (the records it said nothing of are Unanswered then).
    static std::vector<SavedCopy> readAnswer(const QByteArray& answer, size_t count,
                                             const QString& error);

signals:
    void finished(const std::vector<SavedCopy>& saved);

private:
    ObjectFetcher m_handler;
    size_t m_count = 0;
};
