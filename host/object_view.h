#pragma once
// Shows the object the user opened: a sequence with its features and a numbered residue view,
// a citation as a formatted reference, a BLAST report as a hit table, anything else as text
// (and a record its reader refuses as text, below the reason).

#include "record.h"

#include <QStackedWidget>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class QTextBrowser;
class QTreeWidget;

class ObjectView final : public QStackedWidget
{
public:
    explicit ObjectView(QWidget* parent = nullptr);

    void showRecord(const ObjectRecord& record);
    void showMessage(const QString& message);
    // One line on what is shown, for the status bar and the tour.
    QString summary() const { return m_summary; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showSequence(const Dbscout::Records::Record& record, int recordCount);
    void showCitation(const Dbscout::Records::Citation& citation);
    void showBlast(const Dbscout::Records::BlastReport& report);
    void showText(const QString& text, const QString& problem);
    void fillResidues();

    QLabel* m_message = nullptr;
    QWidget* m_sequencePage = nullptr;
    QLabel* m_sequenceHeader = nullptr;
    QTreeWidget* m_features = nullptr;
    QPlainTextEdit* m_residues = nullptr;
    QTextBrowser* m_citation = nullptr;
    QWidget* m_blastPage = nullptr;
    QLabel* m_blastHeader = nullptr;
    QTableWidget* m_hits = nullptr;
    QWidget* m_textPage = nullptr;
    QLabel* m_problem = nullptr; // why a record's text is shown as text
    QPlainTextEdit* m_text = nullptr;
    QString m_residueText;
    int m_residuesPerLine = 0;
    QString m_summary;
};
