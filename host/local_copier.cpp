#include "local_copier.h"

#include "object_saver.h"
#include "settings_values.h"

#include <QTimer>
#include <QWidget>

namespace {

constexpr const char* kPlaceValue = "CopyPlace";

} // namespace

// A sequence's accession (its locus name when it has none), a citation's "PMID:" name as
// molb-admin import names citations, so that a record the store holds already is found under
// its name.
bool copyIdentity(const ObjectRecord& record, std::string& name, std::string& kind)
{
    QString text;
    switch (record.kind) {
    case ObjectRecord::Kind::Sequence:
        text = shown(record.record.accession().empty() ? record.record.name
                                                       : record.record.accession());
        kind = dataTypeOf(record) == 2 ? "protein" : "dnarna";
        break;
    case ObjectRecord::Kind::Citation:
        text = recordName(record);
        kind = "citation";
        break;
    case ObjectRecord::Kind::Blast:
    case ObjectRecord::Kind::Text:
        break;
    }
    name = text.trimmed().toLocal8Bit().toStdString();
    return !name.empty();
}

LocalCopier::LocalCopier(HKEY settingsKey, QWidget* window)
    : QObject(window), m_settings(settingsKey), m_window(window)
{}

std::optional<CopyPlace> LocalCopier::place() const
{
    if (const auto url = readText(m_settings, kPlaceValue)) {
        if (auto chosen = CopyPlace::fromSaveUrl(*url))
            return chosen;
    }
    return CopyPlace::byDefault(readConfiguredSources());
}

void LocalCopier::choosePlace(const CopyPlace& place)
{
    writeText(m_settings, kPlaceValue, place.saveUrl());
}

void LocalCopier::copy(const QByteArray& bytes, const ObjectRecord& record,
                       const std::string& origin)
{
    if (isBusy()) {
        // Reported from the event loop like every other end, once the running copy is done.
        QTimer::singleShot(0, this, [this] {
            emit finished(CopyOutcome::Failed, tr("Not copied: another copy is still being made."));
        });
        return;
    }
    m_place = place();
    m_bytes = bytes;
    m_origin = origin;
    m_step = Step::Saving;
    if (!copyIdentity(record, m_name, m_kind))
        return finish(CopyOutcome::Failed,
                      tr("Not copied: the record is not a sequence or citation with an "
                         "accession."));
    if (!m_place)
        return finish(CopyOutcome::Failed,
                      tr("Not copied: choose where copies go with File > Where Copies "
                         "Go."));
    m_where = where(*m_place, m_kind);
    m_step = Step::Subset;
    m_subsets.ensure(*m_place, m_kind, m_where, [this](const QString& failure) {
        if (failure.isEmpty())
            return save();
        finish(CopyOutcome::Failed, failure);
    });
}

QString LocalCopier::where(const CopyPlace& place, const std::string& kind) const
{
    // Named as the user finds the copies: the Data Source entry that lists this kind.
    return place.description(readConfiguredSources(), kind);
}

void LocalCopier::save()
{
    m_step = Step::Saving;
    std::string url = m_place->putUrl(m_kind, m_name);
    appendCopiedFrom(url, m_origin);
    std::string name = m_name;
    ReplaceQuestion question{tr("Copy to Local DB"), false, std::nullopt, m_where};
    const SaveOutcome outcome =
        saveAskingBeforeReplacing(url, name, m_origin, m_bytes, question, m_window);
    const QString shown = QString::fromLocal8Bit(name);
    switch (outcome) {
    case SaveOutcome::Saved:
        return finish(CopyOutcome::Copied, tr("Copied %1 to %2.").arg(shown, m_where));
    case SaveOutcome::SavedAsRevision:
        return finish(CopyOutcome::Replaced,
                      tr("Copied %1 to %2 as a new revision.").arg(shown, m_where));
    case SaveOutcome::Declined:
        return finish(CopyOutcome::Skipped,
                      tr("Not copied: %1 exists in %2 already.").arg(shown, m_where));
    case SaveOutcome::Cancelled:
        return finish(CopyOutcome::Cancelled,
                      tr("The save of %1 was cancelled: if the store had taken it already, it "
                         "is there whole; Retry Failed asks before replacing it.")
                          .arg(shown));
    case SaveOutcome::Failed:
        break;
    }
    // The panel has said why; if the subset went away meanwhile, the next copy makes it again.
    m_subsets.forget(*m_place, m_kind);
    finish(CopyOutcome::Failed, tr("%1 was not copied to %2.").arg(shown, m_where));
}

void LocalCopier::finish(CopyOutcome outcome, const QString& message)
{
    m_step = Step::Idle;
    m_bytes.clear();
    // Every end reaches the caller from the event loop, never inside its own call to copy().
    QTimer::singleShot(0, this, [this, outcome, message] { emit finished(outcome, message); });
}
