#include "panel_driving.h"

#include "panel_frame.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace PanelDriving {

bool showPlace(PanelFrame& frame, const QString& sourceText, const QString& query)
{
    auto* sources = frame.control<QComboBox>(Dbscout::IDC_DATASOURCE);
    auto* queries = frame.control<QComboBox>(Dbscout::IDC_QUERY);
    auto* go = frame.control<QAbstractButton>(Dbscout::IDC_GO);
    const int index = sources ? sources->findText(sourceText) : -1;
    if (index < 0 || !queries || !go)
        return false;
    // Chosen, not picked from the list: Go then lists the source with the query, once.
    sources->setCurrentIndex(index);
    queries->setEditText(query);
    go->click();
    return true;
}

bool waitUntilBuilt(PanelFrame& frame, int timeoutMs)
{
    // The panel is built once its window shows, and lists its data sources after the messages
    // of its start.
    return QTest::qWaitFor(
        [&] {
            auto* sources = frame.control<QComboBox>(Dbscout::IDC_DATASOURCE);
            return frame.control<QTreeWidget>(Dbscout::IDC_LIST) && sources && sources->count() > 0;
        },
        timeoutMs);
}

// The listing a pick or Go started has ended once its "Downloading..." row is gone.
bool waitForListing(PanelFrame& frame, int timeoutMs)
{
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    return QTest::qWaitFor(
        [&] {
            return !(rows->topLevelItemCount() == 1 &&
                     rows->topLevelItem(0)->text(0) == QLatin1String("Downloading..."));
        },
        timeoutMs);
}

bool chooseSource(PanelFrame& frame, const QString& text, int timeoutMs)
{
    QComboBox* sources = frame.control<QComboBox>(Dbscout::IDC_DATASOURCE);
    const int index = sources ? sources->findText(text) : -1;
    if (index < 0)
        return false;
    // What the box does when the user picks an entry from its list; the pick lists the source,
    // which then becomes the place a new panel starts at.
    sources->setCurrentIndex(index);
    emit sources->activated(index);
    return waitForListing(frame, timeoutMs);
}

bool list(PanelFrame& frame, const QString& query, int timeoutMs)
{
    QLineEdit* edit = frame.control<QComboBox>(Dbscout::IDC_QUERY)->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, query);
    QTest::mouseClick(frame.control<QWidget>(Dbscout::IDC_GO), Qt::LeftButton);
    return waitForListing(frame, timeoutMs);
}

void clickRow(PanelFrame& frame, int row, bool open)
{
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    QTreeWidgetItem* item = rows->topLevelItem(row);
    rows->scrollToItem(item);
    const QPoint at = rows->visualItemRect(item).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, at);
    if (!open)
        return;
    QTest::qWait(20);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, at);
}

void selectRows(PanelFrame& frame, int first, int last)
{
    clickRow(frame, first, false);
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    QTreeWidgetItem* item = rows->topLevelItem(last);
    rows->scrollToItem(item);
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      rows->visualItemRect(item).center());
}

QStringList rowNames(PanelFrame& frame)
{
    QTreeWidget* rows = frame.control<QTreeWidget>(Dbscout::IDC_LIST);
    QStringList names;
    for (int row = 0; rows && row < rows->topLevelItemCount(); ++row)
        names << rows->topLevelItem(row)->text(0);
    return names;
}

QString shown(PanelFrame& frame)
{
    const QStringList names = rowNames(frame);
    return QStringLiteral("\"%1\", %2 rows: %3%4")
        .arg(frame.control<QLabel>(Dbscout::IDC_STATUS)->text())
        .arg(names.size())
        .arg(names.mid(0, 3).join(QLatin1String(", ")), names.size() > 3 ? ", ..." : "");
}

} // namespace PanelDriving
