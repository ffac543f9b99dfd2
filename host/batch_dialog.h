#pragma once
// The progress of a batch of records being opened (and copied), and then each record's outcome:
// opened, copied, replaced, skipped, failed or cancelled, with the reason. Cancel stops the
// batch; Retry Failed tries the failed and cancelled ones again. Not modal: the records opened
// so far can be looked at meanwhile.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class RecordBatch;

class BatchDialog final : public QDialog
{
    Q_OBJECT

public:
    // where: the place the copies go, as the messages name it (empty when nothing is copied).
    BatchDialog(RecordBatch& batch, const QString& where, QWidget* parent);

    QTreeWidget* outcomes() const { return m_outcomes; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* retryButton() const { return m_retry; }
    QString progressText() const;
    void reject() override;

private:
    void update(size_t index);
    void refresh();

    RecordBatch& m_batch;
    QLabel* m_progress = nullptr;
    QProgressBar* m_bar = nullptr;
    QTreeWidget* m_outcomes = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_retry = nullptr;
};
