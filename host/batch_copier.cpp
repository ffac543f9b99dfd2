#include "batch_copier.h"

#include "local_copier.h"
#include "object_saver.h"

#include <QTimer>

BatchCopier::BatchCopier(LocalCopier& copier, QObject* parent) : QObject(parent), m_copier(copier)
{
    connect(&m_saver, &BatchSaver::finished, this, &BatchCopier::onSaved);
}

void BatchCopier::copy(const std::vector<CopyItem>& items)
{
    m_busy = true;
    m_stopped = false;
    m_place = m_copier.place();
    m_waiting.clear();
    m_where.clear();
    for (const CopyItem& item : items) {
        Copy copy{item.index, {{}, {}, item.origin, item.bytes}};
        if (!copyIdentity(readObjectRecord(item.bytes), copy.copy.name, copy.copy.kind))
            end(copy, CopyOutcome::Failed,
                tr("Not copied: the record is not a sequence or citation with an accession."));
        else if (!m_place)
            end(copy, CopyOutcome::Failed,
                tr("Not copied: choose where copies go with File > Where Copies Go."));
        else
            m_waiting.push_back(std::move(copy));
    }
    // From the event loop, as every other step.
    QTimer::singleShot(0, this, [this] {
        if (m_stopped) {
            cancelAll(m_waiting);
            return finishRun();
        }
        save(m_replaceAnswer.value_or(false));
    });
}

void BatchCopier::stop()
{
    m_stopped = true;
    if (m_saver.isRunning())
        m_saver.stop();
}

void BatchCopier::save(bool force)
{
    m_saving = std::exchange(m_waiting, {});
    if (m_saving.empty())
        return finishRun();
    std::vector<BatchCopy> copies;
    for (const Copy& copy : m_saving)
        copies.push_back(copy.copy);
    m_saver.save(*m_place, copies, force);
}

void BatchCopier::onSaved(const std::vector<SavedCopy>& saved)
{
    std::vector<Copy> taken;
    for (size_t k = 0; k < m_saving.size(); ++k) {
        const Copy& copy = m_saving[k];
        const SavedCopy& outcome = saved[k];
        switch (outcome.result) {
        case SavedCopy::Result::Stored:
            if (outcome.revision == 1)
                end(copy, CopyOutcome::Copied,
                    tr("Copied %1 to %2.").arg(shown(copy), where(copy)));
            else
                end(copy, CopyOutcome::Replaced,
                    tr("Copied %1 to %2 as a new revision.").arg(shown(copy), where(copy)));
            break;
        case SavedCopy::Result::Exists:
            taken.push_back(copy);
            break;
        case SavedCopy::Result::Refused:
            end(copy, CopyOutcome::Failed,
                tr("%1 was not copied to %2: %3").arg(shown(copy), where(copy), outcome.why));
            break;
        case SavedCopy::Result::Stopped:
            end(copy, CopyOutcome::Cancelled, tr("opened; cancelled before it was copied"));
            break;
        case SavedCopy::Result::Unanswered:
            // The handler ended without a word on it: the store may have taken it whole.
            end(copy, m_stopped ? CopyOutcome::Cancelled : CopyOutcome::Failed,
                tr("The save of %1 ended without an answer%2: if the store had taken it "
                   "already, it is there whole; Retry Failed asks before replacing it.")
                    .arg(shown(copy),
                         outcome.why.isEmpty() ? QString() : " (" + outcome.why + ")"));
            break;
        }
    }
    m_saving.clear();
    replaceTaken(std::move(taken));
}

void BatchCopier::replaceTaken(std::vector<Copy> taken)
{
    if (taken.empty())
        return finishRun();
    if (!m_stopped && !m_replaceAnswer) {
        ReplaceQuestion question{tr("Copy to Local DB"), true, std::nullopt, {}};
        const Copy& first = taken.front();
        m_replaceAnswer =
            askBeforeReplacing(question, shown(first), where(first), m_copier.window());
    }
    if (!m_stopped && m_replaceAnswer.value_or(false)) {
        m_waiting = std::move(taken);
        return save(true);
    }
    for (const Copy& copy : taken) {
        if (m_stopped)
            end(copy, CopyOutcome::Cancelled, tr("opened; cancelled before it was copied"));
        else
            end(copy, CopyOutcome::Skipped,
                tr("Not copied: %1 exists in %2 already.").arg(shown(copy), where(copy)));
    }
    finishRun();
}

void BatchCopier::end(const Copy& copy, CopyOutcome outcome, const QString& message)
{
    emit copied(copy.index, outcome, message);
}

void BatchCopier::cancelAll(std::vector<Copy>& copies)
{
    for (const Copy& copy : std::exchange(copies, {}))
        end(copy, CopyOutcome::Cancelled, tr("opened; cancelled before it was copied"));
}

void BatchCopier::finishRun()
{
    m_busy = false;
    emit finished();
}

QString BatchCopier::shown(const Copy& copy) const
{
    return QString::fromLocal8Bit(copy.copy.name);
}

QString BatchCopier::where(const Copy& copy) const
{
    auto found = m_where.find(copy.copy.kind);
    if (found == m_where.end())
        found = m_where.emplace(copy.copy.kind, m_copier.where(*m_place, copy.copy.kind)).first;
    return found->second;
}
