#include "panel_driving.h"

#include "panel_frame.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace PanelDriving {

bool waitUntilBuilt(PanelFrame& frame, int timeoutMs)
{
    // The panel is built once its window shows, and lists its data sources after the messages
    // of its start.
    return QTest::qWaitFor(
        [&] {
            auto* sources = frame.control<QComboBox>(kSourceBox);
            return frame.control<QTreeWidget>(kList) && sources && sources->count() > 0;
        },
        timeoutMs);
}

bool chooseSource(PanelFrame& frame, const QString& text)
{
    QComboBox* sources = frame.control<QComboBox>(kSourceBox);
    const int index = sources ? sources->findText(text) : -1;
    if (index < 0)
        return false;
    // What the box does when the user picks an entry from its list.
    sources->setCurrentIndex(index);
    emit sources->activated(index);
    QTest::qWait(50);
    return true;
}

bool list(PanelFrame& frame, const QString& query, int timeoutMs)
{
    QLineEdit* edit = frame.control<QComboBox>(kQueryBox)->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, query);
    QTest::mouseClick(frame.control<QWidget>(kGoButton), Qt::LeftButton);
    QTreeWidget* rows = frame.control<QTreeWidget>(kList);
    return QTest::qWaitFor(
        [&] {
            return !(rows->topLevelItemCount() == 1 &&
                     rows->topLevelItem(0)->text(0) == QLatin1String("Downloading..."));
        },
        timeoutMs);
}

void clickRow(PanelFrame& frame, int row, bool open)
{
    QTreeWidget* rows = frame.control<QTreeWidget>(kList);
    QTreeWidgetItem* item = rows->topLevelItem(row);
    rows->scrollToItem(item);
    const QPoint at = rows->visualItemRect(item).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, at);
    if (!open)
        return;
    QTest::qWait(20);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, at);
}

QStringList rowNames(PanelFrame& frame)
{
    QTreeWidget* rows = frame.control<QTreeWidget>(kList);
    QStringList names;
    for (int row = 0; rows && row < rows->topLevelItemCount(); ++row)
        names << rows->topLevelItem(row)->text(0);
    return names;
}

QString shown(PanelFrame& frame)
{
    const QStringList names = rowNames(frame);
    return QStringLiteral("\"%1\", %2 rows: %3%4")
        .arg(frame.control<QLabel>(kStatusLine)->text())
        .arg(names.size())
        .arg(names.mid(0, 3).join(QLatin1String(", ")), names.size() > 3 ? ", ..." : "");
}

} // namespace PanelDriving
