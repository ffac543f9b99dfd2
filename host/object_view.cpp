#include "object_view.h"

#include "record_text.h"
#include "records/location.h"

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

namespace Records = Dbscout::Records;

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

// page with header above body, which takes the room there is.
QWidget* withHeader(QWidget* page, QLabel* header, QWidget* body)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(header);
    layout->addWidget(body, 1);
    return page;
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
    addWidget(withHeader(m_sequencePage, m_sequenceHeader, split));

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
    addWidget(withHeader(m_blastPage, m_blastHeader, m_hits));

    m_textPage = new QWidget;
    m_problem = headerLabel();
    m_text = monospaceText();
    addWidget(withHeader(m_textPage, m_problem, m_text));

    showMessage(tr("Double-click an object in the list to open it here."));
}

void ObjectView::showRecord(const ObjectRecord& object)
{
    switch (object.kind) {
    case ObjectRecord::Kind::Sequence:
        return showSequence(object.record, object.recordCount);
    case ObjectRecord::Kind::Citation:
        return showCitation(object.record.citation);
    case ObjectRecord::Kind::Blast:
        return showBlast(object.record.blast);
    case ObjectRecord::Kind::Text:
        return showText(object.text, object.problem);
    }
}

void ObjectView::showMessage(const QString& message)
{
    m_message->setText(message);
    m_summary = message;
    setCurrentWidget(m_message);
}

void ObjectView::showSequence(const Records::Record& record, int recordCount)
{
    const bool protein = record.kind == Records::RecordKind::Protein;
    const QString unit = record.countsRecords ? tr("records") : protein ? tr("aa") : tr("bp");
    const QString format = QString::fromLatin1(Records::formatName(record.format));
    QString header = QStringLiteral("<b>%1</b> (%2)<br>")
                         .arg(shown(record.name).toHtmlEscaped(), format.toHtmlEscaped());
    header += field(tr("Accession"), shown(record.accession()));
    header += field(tr("Version"), shown(record.version));
    header += field(tr("Description"), shown(record.description));
    header += field(tr("Organism"), shown(record.organism));
    QStringList lineage;
    for (const std::string& taxon : record.taxonomy)
        lineage << shown(taxon);
    header += field(tr("Lineage"), lineage.join(QLatin1String("; ")));
    header += field(tr("Updated"), shown(record.updated));
    header += tr("Length: %1 %2 %3 %4")
                  .arg(record.length)
                  .arg(unit, shown(record.molecule).toHtmlEscaped(),
                       QString::fromLatin1(Records::topologyName(record.topology)));
    if (recordCount > 1)
        header += "<br>" + tr("The first of %1 records in this object.").arg(recordCount);
    m_sequenceHeader->setText(header);

    m_features->clear();
    for (const Records::Feature& feature : record.features)
        m_features->addTopLevelItem(
            new QTreeWidgetItem({shown(feature.key), shown(Records::locationText(feature.location)),
                                 featureDetails(feature)}));
    m_features->resizeColumnToContents(0);
    m_features->resizeColumnToContents(1);

    m_residueText = shown(record.sequence);
    m_residuesPerLine = 0;
    fillResidues();
    m_summary = tr("%1 %2: %3 %4, %5 features")
                    .arg(format, shown(record.name))
                    .arg(record.length)
                    .arg(unit)
                    .arg(record.features.size());
    setCurrentWidget(m_sequencePage);
}

void ObjectView::showCitation(const Records::Citation& citation)
{
    m_citation->setHtml(citationHtml(citation));
    m_summary = tr("citation PMID %1: %2").arg(shown(citation.pmid), shown(citation.title));
    setCurrentWidget(m_citation);
}

void ObjectView::showBlast(const Records::BlastReport& report)
{
    m_blastHeader->setText(
        QStringLiteral("<b>%1</b> (%2)<br>")
            .arg(shown(report.program).toHtmlEscaped(), shown(report.version).toHtmlEscaped()) +
        field(tr("Query"), shown(report.queryDefinition)) +
        field(tr("Query length"), QString::number(report.queryLength)) +
        field(tr("Database"), shown(report.database)));
    m_hits->setRowCount(int(report.hits.size()));
    for (int row = 0; row < int(report.hits.size()); ++row) {
        const Records::BlastHit& hit = report.hits[size_t(row)];
        // A hit's first HSP is its best; the table shows that one.
        const Records::BlastHsp best = hit.hsps.empty() ? Records::BlastHsp() : hit.hsps.front();
        const QString identity = best.alignLength > 0
                                     ? QStringLiteral("%1/%2 (%3%)")
                                           .arg(best.identities)
                                           .arg(best.alignLength)
                                           .arg(100 * best.identities / best.alignLength)
                                     : QString();
        const QStringList cells = {shown(hit.id),
                                   shown(hit.accession),
                                   shown(hit.definition),
                                   QString::number(hit.length),
                                   shown(best.bitScore),
                                   shown(best.evalue),
                                   identity};
        for (int column = 0; column < cells.size(); ++column)
            m_hits->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    m_hits->resizeColumnsToContents();
    m_summary = tr("%1 report: %2 hits for %3")
                    .arg(shown(report.program))
                    .arg(report.hits.size())
                    .arg(shown(report.queryDefinition));
    setCurrentWidget(m_blastPage);
}

void ObjectView::showText(const QString& text, const QString& problem)
{
    m_problem->setText(tr("This object cannot be read as a record: %1. Its text follows as it "
                          "was stored.")
                           .arg(problem.toHtmlEscaped()));
    m_problem->setVisible(!problem.isEmpty());
    m_text->setPlainText(text);
    m_summary = problem.isEmpty() ? tr("text, %1 lines").arg(text.count('\n') + 1)
                                  : tr("unreadable record (%1)").arg(problem);
    setCurrentWidget(m_textPage);
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
