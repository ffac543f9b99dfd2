#pragma once
// The copies of a batch of records ("cc: to Local DB" with several rows opened): saved into the
// place the copies go in handler runs that each store many (BatchSaver), with no Saving dialog:
// the batch's own dialog shows the progress. Each copy follows a single copy's rules (its name
// and kind, its archive name and "Copied from" comment; the handler makes the place's subset
// where it is missing), and a name that is taken asks once for the whole batch whether to store
// a new revision.

#include "batch_saver.h"
#include "copy_place.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

class LocalCopier;
enum class CopyOutcome;

// A record opened in a batch, to be copied: its place in the batch, bytes and address.
struct CopyItem
{
    size_t index = 0;
    QByteArray bytes;
    std::string origin;
};

class BatchCopier final : public QObject
{
    Q_OBJECT

public:
    explicit BatchCopier(LocalCopier& copier, QObject* parent = nullptr);

    // Copies items: each ends with copied(), then the run with finished(); all from the event
    // loop. Not while isBusy().
    void copy(const std::vector<CopyItem>& items);
    // Stops the run: the record being saved is finished, and every other one not yet stored
    // ends Cancelled.
    void stop();
    bool isBusy() const { return m_busy; }
    // Between these, a name that is taken asks once whether to replace, for all the copies.
    void beginBatch() { m_replaceAnswer.reset(); }
    void endBatch() { m_replaceAnswer.reset(); }

signals:
    void copied(size_t index, CopyOutcome outcome, const QString& message);
    void finished();

private:
    struct Copy
    {
        size_t index;
        BatchCopy copy;
    };

    void save(bool force);
    void onSaved(const std::vector<SavedCopy>& saved);
    // Asks about the taken names once in the batch, and saves them again when the answer is yes.
    void replaceTaken(std::vector<Copy> taken);
    void end(const Copy& copy, CopyOutcome outcome, const QString& message);
    void cancelAll(std::vector<Copy>& copies);
    void finishRun();
    QString shown(const Copy& copy) const;
    QString where(const Copy& copy) const;

    LocalCopier& m_copier;
    BatchSaver m_saver;
    std::optional<CopyPlace> m_place;
    std::vector<Copy> m_waiting; // for their subsets, then for the save
    std::vector<Copy> m_saving;  // in the handler run under way
    bool m_busy = false;
    bool m_stopped = false;
    std::optional<bool> m_replaceAnswer;
    mutable std::map<std::string, QString> m_where; // by kind, for the run
};
