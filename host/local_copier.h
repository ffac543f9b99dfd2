#pragma once
// The local copies of the panel's "cc: to Local DB" box: a record opened from a data source that
// is not the user's local store (NCBI) is also saved into the place the user chose once
// (CopyPlace; its default is the demo store's "From NCBI" subset), under its accession, with the
// panel's SaveObject and its "Saving..." dialog (a batch of several goes through BatchCopier).
// Where the copy came from stays with the revision: its archive name is the record's address, its
// comment "Copied from" and the address, its time the date of the copy (molb-admin log shows them).
// When the kind has no subset of the place's name yet, it is made first, through the molb protocol
// as the panel makes subsets. A name that is taken there asks before a new revision, as File > Save
// to Database does.

#include "copy_place.h"
#include "copy_subset.h"
#include "record.h"

#include <dbscout/registry.h>

#include <QByteArray>
#include <QObject>

#include <optional>
#include <string>

class QWidget;

enum class CopyOutcome {
    Copied,    // stored under a name that was free
    Replaced,  // the name was taken; stored as its new revision
    Skipped,   // the name was taken; the stored object was kept
    Failed,    // nothing was stored; the message says why
    Cancelled, // the user cancelled (a Saving dialog, or the batch): the message says whether
               // the store may have taken it
};

class LocalCopier final : public QObject
{
    Q_OBJECT

public:
    // settingsKey: the demo's own key, which keeps the chosen place (may be null);
    // window: the copier's parent, and the owner of the Saving dialog and of the question.
    LocalCopier(HKEY settingsKey, QWidget* window);

    // The place the user chose, else the default one; nothing when there is neither.
    std::optional<CopyPlace> place() const;
    void choosePlace(const CopyPlace& place);

    // Copies a record's bytes that came from origin (its address without query). Ends with
    // finished(), always from the event loop. A copy asked for while one runs is refused.
    void copy(const QByteArray& bytes, const ObjectRecord& record, const std::string& origin);
    bool isBusy() const { return m_step != Step::Idle; }

    // What a batch of copies (BatchCopier) shares with single ones: the window that asks.
    QWidget* window() const { return m_window; }
    // The place as the messages name it, for copies of kind.
    QString where(const CopyPlace& place, const std::string& kind) const;

signals:
    // message: what happened, for the status bar.
    void finished(CopyOutcome outcome, const QString& message);

private:
    enum class Step { Idle, Subset, Saving };

    void save();
    void finish(CopyOutcome outcome, const QString& message);

    HKEY m_settings = nullptr;
    QWidget* m_window = nullptr;
    CopySubset m_subsets;
    Step m_step = Step::Idle;
    // The copy under way.
    std::optional<CopyPlace> m_place;
    QByteArray m_bytes;
    std::string m_name;
    std::string m_kind;
    std::string m_origin;
    QString m_where; // the place, as the messages name it
};

// The name a copy of record is stored under and its kind keyword; false for a record that is not
// a sequence or citation with an accession.
bool copyIdentity(const ObjectRecord& record, std::string& name, std::string& kind);
