#include "object_view.h"

#include "record_text.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLabel* headerLabel()
{
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(6, 6, 6, 6);
    return label;
}

QPlainTextEdit* monospaceText()
{
    auto* text = new QPlainTextEdit;
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return text;
}

QString field(const QString& label, const QString& value)
{
    return value.isEmpty() ? QString()
                           : QStringLiteral("%1: %2<br>").arg(label, value.toHtmlEscaped());
}

} // namespace

ObjectView::ObjectView(QWidget* parent) : QStackedWidget(parent)
{
    m_message = new QLabel;
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    addWidget(m_message);

    m_sequencePage = new QWidget;
    m_sequenceHeader = headerLabel();
    m_features = new QTreeWidget;
    m_features->setHeaderLabels({tr("Feature"), tr("Location"), tr("Details")});
    m_features->setRootIsDecorated(false);
    m_features->setAlternatingRowColors(true);
    m_residues = monospaceText();
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_features);
    split->addWidget(m_residues);
    auto* sequenceLayout = new QVBoxLayout(m_sequencePage);
    sequenceLayout->setContentsMargins(0, 0, 0, 0);
    sequenceLayout->addWidget(m_sequenceHeader);
    sequenceLayout->addWidget(split, 1);
    addWidget(m_sequencePage);

    m_citation = new QTextBrowser;
    addWidget(m_citation);

    m_blastPage = new QWidget;
    m_blastHeader = headerLabel();
    m_hits = new QTableWidget(0, 7);
    m_hits->setHorizontalHeaderLabels({tr("Hit"), tr("Accession"), tr("Description"), tr("Length"),
                                       tr("Score"), tr("E-value"), tr("Identity")});
    m_hits->verticalHeader()->setVisible(false);
    m_hits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hits->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_hits->setAlternatingRowColors(true);
    m_hits->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    auto* blastLayout = new QVBoxLayout(m_blastPage);
    blastLayout->setContentsMargins(0, 0, 0, 0);
    blastLayout->addWidget(m_blastHeader);
    blastLayout->addWidget(m_hits, 1);
    addWidget(m_blastPage);

    m_text = monospaceText();
    addWidget(m_text);

    showMessage(tr("Double-click an object in the list to open it here."));
}

void ObjectView::showRecord(const ObjectRecord& record)
{
    switch (record.kind) {
    case ObjectRecord::Kind::Sequence:
        return showSequence(record.sequence);
    case ObjectRecord::Kind::Citation:
        return showCitation(record.citation);
    case ObjectRecord::Kind::Blast:
        return showBlast(record.blast);
    case ObjectRecord::Kind::Text:
        return showText(record.text);
    }
}

void ObjectView::showMessage(const QString& message)
{
    m_message->setText(message);
    m_summary = message;
    setCurrentWidget(m_message);
}

void ObjectView::showSequence(const SequenceRecord& sequence)
{
    const QString unit = sequence.molecule == QLatin1String("protein") ? tr("aa") : tr("bp");
    QString header = QStringLiteral("<b>%1</b> (%2)<br>")
                         .arg(sequence.name.toHtmlEscaped(), sequence.format.toHtmlEscaped());
    header += field(tr("Accession"), sequence.accession);
    header += field(tr("Description"), sequence.description);
    header += field(tr("Organism"), sequence.organism);
    header += tr("Length: %1 %2 %3 %4")
                  .arg(sequence.residues.size())
                  .arg(unit, sequence.molecule.toHtmlEscaped(), sequence.topology);
    m_sequenceHeader->setText(header);

    m_features->clear();
    for (const Feature& feature : sequence.features)
        m_features->addTopLevelItem(
            new QTreeWidgetItem({feature.key, feature.location, featureDetails(feature)}));
    m_features->resizeColumnToContents(0);
    m_features->resizeColumnToContents(1);

    m_residueText = sequence.residues;
    m_residuesPerLine = 0;
    fillResidues();
    m_summary = tr("%1 %2: %3 %4, %5 features")
                    .arg(sequence.format, sequence.name)
                    .arg(sequence.residues.size())
                    .arg(unit)
                    .arg(sequence.features.size());
    setCurrentWidget(m_sequencePage);
}

void ObjectView::showCitation(const Citation& citation)
{
    m_citation->setHtml(citationHtml(citation));
    m_summary = tr("citation PMID %1: %2").arg(citation.pmid, citation.title);
    setCurrentWidget(m_citation);
}

void ObjectView::showBlast(const BlastReport& report)
{
    m_blastHeader->setText(
        QStringLiteral("<b>%1</b> (%2)<br>")
            .arg(report.program.toHtmlEscaped(), report.version.toHtmlEscaped()) +
        field(tr("Query"), report.query) +
        field(tr("Query length"), QString::number(report.queryLength)) +
        field(tr("Database"), report.database));
    m_hits->setRowCount(int(report.hits.size()));
    for (int row = 0; row < report.hits.size(); ++row) {
        const BlastHit& hit = report.hits[row];
        const QString identity = hit.alignLength > 0
                                     ? QStringLiteral("%1/%2 (%3%)")
                                           .arg(hit.identities)
                                           .arg(hit.alignLength)
                                           .arg(100 * hit.identities / hit.alignLength)
                                     : QString();
        const QStringList cells = {hit.id,
                                   hit.accession,
                                   hit.definition,
                                   QString::number(hit.length),
                                   QString::number(hit.bitScore, 'f', 1),
                                   hit.evalue,
                                   identity};
        for (int column = 0; column < cells.size(); ++column)
            m_hits->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_hits->resizeColumnsToContents();
    m_summary = tr("%1 report: %2 hits for %3")
                    .arg(report.program)
                    .arg(report.hits.size())
                    .arg(report.query);
    setCurrentWidget(m_blastPage);
}

void ObjectView::showText(const QString& text)
{
    m_text->setPlainText(text);
    m_summary = tr("text, %1 lines").arg(text.count('\n') + 1);
    setCurrentWidget(m_text);
}

void ObjectView::resizeEvent(QResizeEvent* event)
{
    QStackedWidget::resizeEvent(event);
    fillResidues();
}

void ObjectView::fillResidues()
{
    // As many groups of ten as fit the view's width, and never fewer than one.
    const int digits = int(QString::number(m_residueText.size()).size());
    const int charWidth = m_residues->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    const int available = m_residues->viewport()->width() - 2 * charWidth;
    const int groups = std::max(1, (available / std::max(1, charWidth) - digits) / 11);
    if (groups * 10 == m_residuesPerLine)
        return;
    m_residuesPerLine = groups * 10;
    m_residues->setPlainText(formatResidues(m_residueText, m_residuesPerLine));
}
