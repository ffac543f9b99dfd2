#include "batch_dialog.h"

#include "record_batch.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

BatchDialog::BatchDialog(RecordBatch& batch, const QString& where, QWidget* parent)
    : QDialog(parent), m_batch(batch)
{
    const int count = int(batch.items().size());
    setWindowTitle(batch.copies() ? tr("Opening and Copying %1 Records").arg(count)
                                  : tr("Opening %1 Records").arg(count));
    auto* heading =
        new QLabel(batch.copies() ? tr("Each record is opened, then copied to %1.").arg(where)
                                  : tr("Each record is opened; the view lists them all."));
    heading->setWordWrap(true);
    m_progress = new QLabel;
    m_bar = new QProgressBar;
    m_bar->setRange(0, count);
    m_outcomes = new QTreeWidget;
    m_outcomes->setObjectName(QStringLiteral("outcomes"));
    m_outcomes->setHeaderLabels({tr("Record"), tr("Outcome"), tr("Why")});
    m_outcomes->setRootIsDecorated(false);
    m_outcomes->setAlternatingRowColors(true);
    m_outcomes->header()->setStretchLastSection(true);
    for (const BatchItem& item : batch.items())
        m_outcomes->addTopLevelItem(new QTreeWidgetItem({item.id, QString(), QString()}));

    auto* buttons = new QDialogButtonBox;
    m_cancel = buttons->addButton(tr("&Cancel Batch"), QDialogButtonBox::RejectRole);
    m_retry = buttons->addButton(tr("&Retry Failed"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    // Cancel stops the batch and keeps the dialog, which then says what became of each record.
    connect(m_cancel, &QPushButton::clicked, &m_batch, &RecordBatch::cancel);
    connect(m_retry, &QPushButton::clicked, &m_batch, &RecordBatch::retry);
    connect(close, &QPushButton::clicked, this, [this] {
        m_batch.cancel();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_progress);
    layout->addWidget(m_bar);
    layout->addWidget(m_outcomes, 1);
    layout->addWidget(buttons);
    resize(560, 420);

    connect(&batch, &RecordBatch::itemChanged, this, &BatchDialog::update);
    connect(&batch, &RecordBatch::finished, this, &BatchDialog::refresh);
    for (size_t i = 0; i < batch.items().size(); ++i)
        update(i);
}

void BatchDialog::reject()
{
    // Esc stops a batch that runs, as Cancel does; once it has ended, Esc closes.
    if (m_batch.isRunning())
        m_batch.cancel();
    else
        QDialog::reject();
}

QString BatchDialog::progressText() const
{
    return m_progress->text();
}

void BatchDialog::update(size_t index)
{
    const BatchItem& item = m_batch.items()[index];
    QTreeWidgetItem* row = m_outcomes->topLevelItem(int(index));
    row->setText(0, item.id);
    row->setText(1, RecordBatch::stateText(item.state));
    row->setText(2, item.why);
    row->setToolTip(2, item.why);
    if (item.state == BatchItem::State::Failed)
        m_outcomes->scrollToItem(row);
    refresh();
}

void BatchDialog::refresh()
{
    const bool running = m_batch.isRunning();
    m_bar->setValue(m_batch.ended());
    m_progress->setText(running ? tr("%1 of %2 done.").arg(m_batch.ended()).arg(m_bar->maximum())
                                : m_batch.summary());
    m_cancel->setEnabled(running);
    m_retry->setEnabled(!running && m_batch.hasRetries());
}
