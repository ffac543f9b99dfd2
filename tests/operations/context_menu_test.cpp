// The context menu item by item for the selections and server versions that shape it, and the
// points its message carries.

#include "menu_description.h"

#include "operations/context_menu.h"
#include "operations/menu_toolbar.h"
#include "resources/ids.h"
#include "resources/images.h"

#include <QMenu>
#include <QTest>

#include <functional>

using namespace Dbscout;
using DbscoutTest::DescribeMenu;

namespace {

const QStringList kFixed = {
    "&Go to\tCtrl+G", "-",         "&Previous Page\tCtrl+PgUp", "&Next Page\tCtrl+PgDn", "-",
    "&Reload\tF5",    "&Stop\tEsc"};
const QStringList kEnd = QStringList{"-"} + kFixed + QStringList{"-", "O&ptions...\tCtrl+P"};
const QString kSubsetBoth = "Subset[Create Subset using selected objects...\tCtrl+B|"
                            "Create an empty Subset...\tCtrl+S]";
const QString kSubsetAccess = "Set access to the current subset\tCtrl+C";

ResultRow Row(const std::string& checkoutBy, const std::string& mode)
{
    ResultRow row;
    row.id = std::string("1"); // not a literal: GCC 12 warns wrongly on that
    row.writable = true;
    row.checkoutBy = checkoutBy;
    row.mode = mode;
    return row;
}

} // namespace

class ContextMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }

    void menusForSelectionsAndVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("rowsListed");
        QTest::addColumn<QList<int>>("selection"); // indexes into the rows below
        QTest::addColumn<QString>("subsetMode");
        QTest::addColumn<QStringList>("expected");

        // 0 free with a mode, 1 and 2 checked out by the user, 3 checked out by another.
        QTest::newRow("version 1: the fixed items only")
            << 1 << true << QList<int>{1} << "rw-" << kFixed;
        QTest::newRow("version 3, nothing selected")
            << 3 << true << QList<int>{} << ""
            << QStringList{"Subset[Create an empty Subset...\tCtrl+S]"} + kEnd;
        QTest::newRow("version 3, the user's rows, subset with a mode")
            << 3 << true << QList<int>{1, 2} << "rw-"
            << QStringList{"Check In\tCtrl+I (default)",
                           "-",
                           "Undo Check Out\tCtrl+U",
                           kSubsetAccess,
                           "-",
                           kSubsetBoth} +
                   kEnd;
        QTest::newRow("version 2, one free row with a mode")
            << 2 << true << QList<int>{0} << ""
            << QStringList{"Check Out\tCtrl+O (default)", "-",
                           "Set access to selected objects\tCtrl+A", "-", kSubsetBoth} +
                   kEnd;
        QTest::newRow("version 2, the user's rows: no undo")
            << 2 << true << QList<int>{1, 2} << ""
            << QStringList{"Check In\tCtrl+I (default)", "-", kSubsetBoth} + kEnd;
        QTest::newRow("placeholder row: no access and no check items")
            << 3 << false << QList<int>{0} << "rw-" << QStringList{kSubsetBoth} + kEnd;
        QTest::newRow("mixed selection: no check item")
            << 3 << true << QList<int>{0, 1} << "" << QStringList{kSubsetBoth} + kEnd;
        QTest::newRow("another user's row: no check and no object access")
            << 3 << true << QList<int>{3} << "r"
            << QStringList{kSubsetAccess, "-", kSubsetBoth} + kEnd;
    }
    void menusForSelectionsAndVersions()
    {
        QFETCH(int, version);
        QFETCH(QList<int>, selection);
        QFETCH(QString, subsetMode);
        QFETCH(QStringList, expected);
        const ResultRow rows[] = {Row("", "rw-"), Row("curator", "rw-"), Row("curator", ""),
                                  Row("reviewer", "rw-")};
        std::vector<const ResultRow*> selected;
        for (int index : selection)
            selected.push_back(&rows[index]);
        const SubsetEntry subset{"Alpha", subsetMode.toStdString()};
        QFETCH(bool, rowsListed);
        QMenu menu;
        BuildContextMenu(menu,
                         MakeContextMenuState(ClassifySelection(selected, "curator", version),
                                              int(selected.size()), version, rowsListed, &subset));
        QCOMPARE(DescribeMenu(menu), expected);
        if (!expected.first().contains("(default)"))
            QVERIFY(!menu.defaultAction());

        // Every item, also in the popup, carries its command as its id and name, and starts
        // enabled.
        std::function<void(const QMenu&)> check = [&](const QMenu& popup) {
            for (QAction* item : popup.actions()) {
                if (item->menu())
                    check(*item->menu());
                else if (!item->isSeparator()) {
                    QVERIFY(MenuCommand(item) > 0);
                    QCOMPARE(FindMenuItem(menu, MenuCommand(item)), item);
                    QCOMPARE(item->objectName(), QString::number(MenuCommand(item)));
                    QVERIFY(item->isEnabled());
                }
            }
        };
        check(menu);
    }

    void packedPointsKeepSignedCoordinates()
    {
        for (const QPoint point : {QPoint(0, 0), QPoint(1920, 1080), QPoint(-300, 25),
                                   QPoint(40, -2), QPoint(-32768, 32767)}) {
            const long packed = PackScreenPoint(point);
            QCOMPARE(packed & ~0xFFFFFFFFL, 0L);
            QCOMPARE(UnpackScreenPoint(packed), point);
        }
    }
};

QTEST_MAIN(ContextMenuTest)
#include "context_menu_test.moc"
