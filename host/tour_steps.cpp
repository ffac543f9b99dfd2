// The tour's steps, each what a user does in turn, what it saw and what it checks.

#include "tour.h"

#include "batch_dialog.h"
#include "copy_box.h"
#include "demo_window.h"
#include "object_view.h"
#include "panel_driving.h"
#include "panel_frame.h"
#include "record.h"
#include "save_dialog.h"
#include "settings_values.h"
#include "web_sources_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using namespace PanelDriving;

QString Tour::startStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    if (!waitForPanel(frame))
        return {};
    QComboBox* sources = frame.control<QComboBox>(Dbscout::IDC_DATASOURCE);
    QStringList names;
    for (int i = 0; i < sources->count(); ++i)
        names << sources->itemText(i);
    check(names.contains("Demo database (DNA/RNA)"),
          "the data source \"Demo database\" is missing");
    return QStringLiteral("%1 data sources: %2")
        .arg(names.size())
        .arg(names.join(QLatin1String(", ")));
}

QString Tour::listSubsetStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, "Demo database (DNA/RNA)");
    const QString seen = list(frame, "Orchids");
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    const QString status = frame.control<QLabel>(Dbscout::IDC_STATUS)->text();
    check(rows->topLevelItemCount() > 0, "the subset is empty");
    check(status.startsWith(QStringLiteral("%1 objects were found. The first object # is 1")
                                .arg(rows->topLevelItemCount())),
          "the status line does not count the listed rows");
    return seen;
}

QString Tour::pageStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    QString seen = list(frame, "MAIN");
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    const int total = frame.control<QLabel>(Dbscout::IDC_STATUS)->text().section(' ', 0, 0).toInt();
    const int firstPage = rows->topLevelItemCount();
    if (!check(total > firstPage && firstPage == 100, "MAIN does not fill more than one page"))
        return seen;
    rows->setFocus();
    QTest::keyClick(rows, Qt::Key_PageDown, Qt::ControlModifier); // next page
    check(QTest::qWaitFor([&] { return shown(frame).contains("The first object # is 101"); },
                          kWaitMs),
          "Ctrl+Page Down did not show the second page");
    seen += QLatin1String(" -> ") + shown(frame);
    check(rows->topLevelItemCount() == std::min(100, total - 100),
          "the second page does not hold the rest of the objects");
    return seen;
}

QString Tour::sortStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    QHeaderView* header = rows->header();
    const QPoint nameColumn(header->sectionViewportPosition(0) + 8, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameColumn);
    // The first click sorts either way (the panel remembers a sort from the last run); the
    // second one reverses it.
    const QStringList first = rowNames(frame);
    QStringList ascending = first;
    std::sort(ascending.begin(), ascending.end());
    QStringList descending(ascending.rbegin(), ascending.rend());
    check(first == ascending || first == descending, "a click on Name did not sort by name");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameColumn);
    const QStringList second = rowNames(frame);
    check(second == QStringList(first.rbegin(), first.rend()),
          "a second click on Name did not reverse the order");
    return QStringLiteral("by name, %1: %2")
        .arg(second == ascending ? "ascending" : "descending", second.mid(0, 3).join(", "));
}

QString Tour::openSeveralStep()
{
    // Three rows of the sorted list, Shift and a click, then Enter: the batch dialog reports each.
    PanelFrame& frame = *m_window.panelFrame();
    const QStringList names = rowNames(frame).mid(0, 3);
    if (!check(names.size() == 3, "the list has fewer than three rows"))
        return {};
    selectRows(frame, 0, 2);
    QLineEdit* nameBox = frame.control<QLineEdit>(Dbscout::IDC_NAME);
    check(QTest::qWaitFor([&] { return nameBox->text().count(',') == 2; }, kWaitMs),
          "the name box does not list the three rows");
    QSignalSpy ended(&m_window, &DemoWindow::batchFinished);
    QTest::keyClick(frame.control<QTreeWidget>(Dbscout::IDC_LIST), Qt::Key_Return);
    if (!check(!ended.isEmpty() || ended.wait(kWaitMs), "the three records did not open"))
        return {};
    BatchDialog* dialog = m_window.batchDialog();
    QStringList reported;
    for (int i = 0; dialog && i < dialog->outcomes()->topLevelItemCount(); ++i)
        reported << dialog->outcomes()->topLevelItem(i)->text(0) + ": " +
                        dialog->outcomes()->topLevelItem(i)->text(1);
    check(reported ==
              QStringList{names[0] + ": opened", names[1] + ": opened", names[2] + ": opened"},
          "the batch dialog does not report the three rows opened");
    const QString seen = dialog ? dialog->progressText() + " " + reported.join(", ") : QString();
    if (dialog)
        dialog->close();
    return seen;
}

QString Tour::pickStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, "Demo database (Protein)");
    list(frame, "Swiss-Prot sample");
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    if (!check(rows->topLevelItemCount() > 0, "the protein subset is empty"))
        return shown(frame);
    m_savedName = rowNames(frame).value(0) + QLatin1String(" copy");
    openRow(frame, 0);
    const QString summary = m_window.objectView()->summary();
    check(summary.startsWith(QLatin1String("UniProt ")) && summary.contains(QLatin1String("aa")),
          "the fetched protein was not shown as a UniProt record");
    return summary;
}

QString Tour::saveStep(bool expectExisting)
{
    QSignalSpy finished(&m_window, &DemoWindow::saveFinished);
    m_answerText = QStringLiteral("already exists");
    m_answered = 0;
    m_window.saveShownObject();
    SaveDialog* dialog = m_window.saveDialog();
    if (!check(dialog != nullptr, "File > Save to Database opened no dialog"))
        return {};
    PanelFrame& frame = *dialog->frame();
    if (!waitForPanel(frame))
        return {};
    // The protein kind was asked for, so the source shows under its own name.
    chooseSource(frame, "Demo database");
    const QString place = list(frame, "Scratch");
    QLineEdit* name = frame.control<QLineEdit>(Dbscout::IDC_NAME);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, m_savedName);
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                      Qt::LeftButton);
    if (finished.isEmpty())
        finished.wait(kWaitMs);
    const QString status = m_window.statusBar()->currentMessage();
    check(!finished.isEmpty() && finished.first().first().toBool(), "not saved: " + status);
    if (expectExisting)
        check(m_answered == 1, "saving under a taken name did not ask before replacing");
    return QStringLiteral("%1 (the save panel showed %2)").arg(status, place);
}

QString Tour::listSavedStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    const QString seen = list(frame, "Scratch");
    check(rowNames(frame).contains(m_savedName), m_savedName + " is not listed in Scratch");
    return seen;
}

QString Tour::openKindStep(const QString& source, const QString& query, const QString& expected)
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, source);
    const QString seen = list(frame, query);
    if (!check(frame.control<QTreeWidget>(Dbscout::IDC_LIST)->topLevelItemCount() > 0,
               query + " is empty"))
        return seen;
    openRow(frame, 0);
    const QString summary = m_window.objectView()->summary();
    check(summary.startsWith(expected), "the object was not shown as " + expected);
    return seen + QLatin1String(" -> ") + summary;
}

QString Tour::ncbiStep()
{
    // Picking an NCBI source lists nothing until a query is typed, quietly: any box fails the step.
    return openKindStep(QStringLiteral("NCBI PubMed (Citation)"), "biopython", "citation PMID");
}

QString Tour::copyFromNcbiStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, QStringLiteral("NCBI PubMed (Citation)"));
    const QString seen = list(frame, "biopython");
    auto* box = frame.control<QCheckBox>(Dbscout::IDC_LOCAL_COPY);
    if (!check(m_window.copyBox()->isOffered() && box, "the box is not offered for NCBI"))
        return seen;
    const bool wasChecked = box->isChecked();
    if (!wasChecked)
        QTest::mouseClick(box, Qt::LeftButton);
    QSignalSpy copied(&m_window, &DemoWindow::copyFinished);
    // The store may hold the paper already (the demo store imported it): replace it then.
    m_answerText = QStringLiteral("already exists");
    m_answered = 0;
    openRow(frame, 0);
    m_ncbiBytes = m_window.shownBytes();
    m_copyName = recordName(readObjectRecord(m_ncbiBytes));
    check(!copied.isEmpty() || copied.wait(kWaitMs), "opening with the box checked copied nothing");
    const QString status = m_window.statusBar()->currentMessage();
    check(!copied.isEmpty() && copied.first().first().toBool(), "not copied: " + status);
    // Named as the user finds the copy, and still in sight after the next message.
    const QString place = QStringLiteral("Demo database (Citation), subset From NCBI");
    check(status.contains(" to " + place), "the copy's place is not named as " + place);
    m_window.statusBar()->showMessage(QStringLiteral("Next"));
    check(m_window.lastCopyLine()->isVisible() && m_window.lastCopyLine()->text() == status,
          "where the copy went is gone with the next message");
    // The box is left as the user had it.
    if (!wasChecked)
        QTest::mouseClick(box, Qt::LeftButton);
    return QStringLiteral("%1 -> %2%3")
        .arg(seen, status, m_answered ? QStringLiteral(" (asked before replacing)") : QString());
}

QString Tour::whereCopiesGoStep()
{
    trigger(QStringLiteral("Where Copies &Go..."));
    QPointer<SaveDialog> dialog = m_window.saveDialog();
    if (!check(dialog != nullptr, "File > Where Copies Go opened no dialog"))
        return {};
    PanelFrame& frame = *dialog->frame();
    if (!waitForPanel(frame))
        return {};
    auto* listed = frame.control<QLabel>(Dbscout::IDC_STATUS);
    check(QTest::qWaitFor([&] { return listed->text().contains("were found"); }, kWaitMs),
          "the dialog did not list where copies go");
    const QString seen =
        QStringLiteral("%1, %2: %3")
            .arg(frame.control<QComboBox>(Dbscout::IDC_DATASOURCE)->currentText(),
                 frame.control<QComboBox>(Dbscout::IDC_QUERY)->currentText(), listed->text());
    check(seen.startsWith("Demo database (Citation), From NCBI:"),
          "the dialog does not start where copies go");
    QTest::keyClick(frame.control<QTreeWidget>(Dbscout::IDC_LIST), Qt::Key_Escape);
    check(QTest::qWaitFor([&] { return dialog.isNull(); }, kWaitMs), "Esc left the dialog open");
    return seen + " (closed with Esc)";
}

// The user's own e-mail for NCBI, typed into Settings > Web Sources and saved where the ncbi
// handler reads it; then what was there before is put back, as the tour found it.
QString Tour::webSourcesStep()
{
    const auto setEmail = [this](const QString& email) {
        trigger(QStringLiteral("&Web Sources..."));
        WebSourcesDialog* dialog = m_window.webSourcesDialog();
        if (!check(dialog != nullptr, "Settings > Web Sources opened no dialog"))
            return QString();
        auto* field = dialog->findChild<QLineEdit*>("Email");
        const QString before = field->text();
        field->setFocus();
        field->selectAll();
        if (email.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, email);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                          Qt::LeftButton);
        check(QTest::qWaitFor([this] { return !m_window.webSourcesDialog(); }, kWaitMs),
              "the settings were not saved");
        return before;
    };
    const QString email = QStringLiteral("tour@lab.example");
    const QString before = setEmail(email);
    Dbscout::RegKey ncbi;
    ncbi.open(HKEY_CURRENT_USER, "Software\\Dbscout\\NCBI", KEY_READ);
    const std::string stored = readText(ncbi.get(), "Email").value_or("");
    check(stored == email.toStdString(), "the e-mail was not stored where the handler reads it");
    const QString status = m_window.statusBar()->currentMessage();
    setEmail(before);
    return QStringLiteral("%1 (Email %2 in the settings store; %3 again)")
        .arg(status, QString::fromStdString(stored), before.isEmpty() ? "none" : before);
}

QString Tour::listLocalCopyStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, QStringLiteral("Demo database (Citation)"));
    check(!m_window.copyBox()->isOffered(), "the box is offered for the local store");
    const QString seen = list(frame, "From NCBI");
    const int row = rowNames(frame).indexOf(m_copyName);
    if (!check(row >= 0, m_copyName + " is not listed in From NCBI"))
        return seen;
    openRow(frame, row);
    check(!m_ncbiBytes.isEmpty() && m_window.shownBytes() == m_ncbiBytes,
          "the copy fetched back differs from the record NCBI's stand-in served");
    return QStringLiteral("%1 -> %2 fetched back, %3 bytes as served")
        .arg(seen, m_copyName)
        .arg(m_ncbiBytes.size());
}

QString Tour::screenshotStep()
{
    PanelFrame& frame = *m_window.panelFrame();
    chooseSource(frame, "Demo database (DNA/RNA)");
    const QString seen = list(frame, "Orchids");
    // Room for the organism and the description, as a user drags the column dividers; the
    // panel keeps the layout for the next run.
    QHeaderView* header = frame.control<QTreeWidget>(Dbscout::IDC_LIST)->header();
    const int widths[] = {80, 75, 55, 65, 165, 190, 110};
    for (int column = 0; column < header->count() && column < int(std::size(widths)); ++column)
        header->resizeSection(column, widths[column]);
    openRow(frame, 0);
    if (m_screenshot.isEmpty())
        return seen;
    QTest::qWait(200); // let the views settle
    check(m_window.grab().save(m_screenshot), "cannot write " + m_screenshot);
    return m_screenshot;
}
