// The context menu item by item for the selections and server versions that shape it, and the
// toolbar button whose arrow asks for it.

#include "menu_description.h"

#include "operations/context_menu.h"
#include "operations/menu_toolbar.h"
#include "platform/registered_messages.h"
#include "resources/ids.h"
#include "resources/images.h"

#include <QMenu>
#include <QStyleOptionToolButton>
#include <QTest>

using namespace Dbscout;
using DbscoutTest::DescribeMenu;

namespace {

const QStringList kFixed = {
    "&Go to\tCtrl+G", "-",         "&Previous Page\tCtrl+PgUp", "&Next Page\tCtrl+PgDn", "-",
    "&Reload\tF5",    "&Stop\tEsc"};
const QString kSubsetBoth = "Subset[Create Subset using selected objects...\tCtrl+B|"
                            "Create an empty Subset...\tCtrl+S]";
const QString kSubsetEmptyOnly = "Subset[Create an empty Subset...\tCtrl+S]";
const QStringList kOptions = {"-", "O&ptions...\tCtrl+P"};

ResultRow Row(bool writable, const std::string& checkoutBy, const std::string& mode)
{
    ResultRow row;
    row.id = std::string("1");
    row.writable = writable;
    row.checkoutBy = checkoutBy;
    row.mode = mode;
    return row;
}

class MenuCollector final : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Type(UM_DBSCOUT_POP_MENU))
            return QObject::event(event);
        points << UnpackScreenPoint(static_cast<MessageEvent*>(event)->lParam);
        return true;
    }
    QList<QPoint> points;
};

} // namespace

class ContextMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void menusForSelectionsAndVersions_data();
    void menusForSelectionsAndVersions();
    void itemsCarryTheirCommandsAndStopStartsEnabled();
    void packedPointsKeepSignedCoordinates();
    void arrowAsksForTheMenuAtTheButtonsBottomLeftCorner();
};

void ContextMenuTest::menusForSelectionsAndVersions_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("rowsListed");
    QTest::addColumn<QList<int>>("selection"); // indexes into the rows below
    QTest::addColumn<QString>("subsetMode");
    QTest::addColumn<QStringList>("expected");

    // 0 free writable with a mode, 1 and 2 checked out by the user, 3 checked out by another.
    QTest::newRow("version 1: the fixed items only")
        << 1 << true << QList<int>{1} << "rw-" << kFixed;
    QTest::newRow("version 3, nothing selected")
        << 3 << true << QList<int>{} << ""
        << QStringList{kSubsetEmptyOnly, "-"} + kFixed + kOptions;
    QTest::newRow("version 3, two of the user's rows, subset with a mode")
        << 3 << true << QList<int>{1, 2} << "rw-"
        << QStringList{"Check In\tCtrl+I (default)",
                       "-",
                       "Undo Check Out\tCtrl+U",
                       "Set access to the current subset\tCtrl+C",
                       "-",
                       kSubsetBoth,
                       "-"} +
               kFixed + kOptions;
    QTest::newRow("version 2, one free row with a mode")
        << 2 << true << QList<int>{0} << ""
        << QStringList{"Check Out\tCtrl+O (default)",
                       "-",
                       "Set access to selected objects\tCtrl+A",
                       "-",
                       kSubsetBoth,
                       "-"} +
               kFixed + kOptions;
    QTest::newRow("version 2, the user's rows: no undo")
        << 2 << true << QList<int>{1, 2} << ""
        << QStringList{"Check In\tCtrl+I (default)", "-", kSubsetBoth, "-"} + kFixed + kOptions;
    QTest::newRow("placeholder row: no access and no check items")
        << 3 << false << QList<int>{0} << "rw-"
        << QStringList{kSubsetBoth, "-"} + kFixed + kOptions;
    QTest::newRow("mixed selection: no check item")
        << 3 << true << QList<int>{0, 1} << "" << QStringList{kSubsetBoth, "-"} + kFixed + kOptions;
    QTest::newRow("another user's row: no check and no object access")
        << 3 << true << QList<int>{3} << "r"
        << QStringList{"Set access to the current subset\tCtrl+C", "-", kSubsetBoth, "-"} + kFixed +
               kOptions;
}

void ContextMenuTest::menusForSelectionsAndVersions()
{
    QFETCH(int, version);
    QFETCH(bool, rowsListed);
    QFETCH(QList<int>, selection);
    QFETCH(QString, subsetMode);
    QFETCH(QStringList, expected);

    const ResultRow rows[] = {Row(true, "", "rw-"), Row(true, "curator", "rw-"),
                              Row(true, "curator", ""), Row(true, "reviewer", "rw-")};
    std::vector<const ResultRow*> selected;
    for (int index : selection)
        selected.push_back(&rows[index]);
    const SubsetEntry subset{"Alpha", subsetMode.toStdString()};
    const ContextMenuState state =
        MakeContextMenuState(ClassifySelection(selected, "curator", version), int(selected.size()),
                             version, rowsListed, &subset);
    QMenu menu;
    BuildContextMenu(menu, state);
    QCOMPARE(DescribeMenu(menu), expected);
    if (!expected.first().contains("(default)"))
        QVERIFY(!menu.defaultAction());
}

void ContextMenuTest::itemsCarryTheirCommandsAndStopStartsEnabled()
{
    ContextMenuState state;
    state.serverVersion = 3;
    state.selectedCount = 1;
    state.rowsListed = true;
    state.allCheckedOutByUser = true;
    state.allAccessCandidates = true;
    state.subsetHasMode = true;
    QMenu menu;
    BuildContextMenu(menu, state);
    for (int command : {ID_GOTO, ID_PREVIOUS_PAGE, ID_NEXT_PAGE, ID_RELOAD, ID_STOP, ID_OPTIONS,
                        ID_CREATE_EMPTY_SUBSET, ID_CREATE_SUBSET_FROM_SELECTION, ID_OBJECT_ACCESS,
                        ID_SUBSET_ACCESS, ID_CHECK_IN, ID_UNDO_CHECK_OUT}) {
        QAction* item = FindMenuItem(menu, command);
        QVERIFY2(item, qPrintable(QString::number(command)));
        QCOMPARE(MenuCommand(item), command);
        QCOMPARE(item->objectName(), QString::number(command));
        QVERIFY(item->isEnabled());
    }
    QVERIFY(!FindMenuItem(menu, ID_CHECK_OUT));
    QCOMPARE(MenuCommand(menu.actions().at(1)), 0); // the separator below Check In
}

void ContextMenuTest::packedPointsKeepSignedCoordinates()
{
    for (const QPoint point : {QPoint(0, 0), QPoint(1920, 1080), QPoint(-300, 25), QPoint(40, -2),
                               QPoint(-32768, 32767)}) {
        const long packed = PackScreenPoint(point);
        QCOMPARE(packed & ~0xFFFFFFFFL, 0L);
        QCOMPARE(UnpackScreenPoint(packed), point);
    }
}

void ContextMenuTest::arrowAsksForTheMenuAtTheButtonsBottomLeftCorner()
{
    QWidget window;
    window.setGeometry(120, 80, 300, 200);
    MenuCollector target;
    QList<int> commands;
    CMenuToolBar toolBar(&window, &target, [&commands](int id) { commands << id; });
    toolBar.setButton(ID_GOTO, QIcon(LoadImageStrip(IDB_TOOLBAR).value(0)));
    toolBar.setGeometry(200, 10, 40, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStyleOptionToolButton option;
    option.initFrom(&toolBar);
    option.features = QStyleOptionToolButton::MenuButtonPopup;
    option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
    const QRect arrow = toolBar.style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                        QStyle::SC_ToolButtonMenu, &toolBar);
    QVERIFY(arrow.isValid());
    QTest::mouseClick(&toolBar, Qt::LeftButton, {}, arrow.center());
    QCOMPARE(target.points, QList<QPoint>{toolBar.mapToGlobal(QPoint(0, toolBar.height()))});
    QVERIFY(commands.isEmpty());

    QTest::mouseClick(&toolBar, Qt::LeftButton, {}, QPoint(3, toolBar.height() / 2));
    QCOMPARE(commands, QList<int>{ID_GOTO});
    QCOMPARE(target.points.size(), 1);
}

QTEST_MAIN(ContextMenuTest)
#include "context_menu_test.moc"
