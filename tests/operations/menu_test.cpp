// The context menu: item by item for the selections and server versions that shape it, then on
// the real panel, opened by the message, a right click in the list and the toolbar's arrow; a
// chosen item running its command; Stop turning grey while the menu is open.

#include "dialog_support.h"
#include "panel/panel_harness.h"

#include "operations/context_menu.h"
#include "operations/menu_toolbar.h"
#include "platform/registered_messages.h"
#include "resources/images.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QStyleOptionToolButton>
#include <QTimer>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

// One line per item, by what it does: its command id ("*" after the default one), "-" for a
// separator, a popup as its items in brackets.
QStringList DescribeMenu(const QMenu& menu)
{
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            lines << QStringLiteral("-");
        else if (const QMenu* popup = action->menu())
            lines << "[" + DescribeMenu(*popup).join("|") + "]";
        else
            lines << QString::number(action->data().toInt()) +
                         (menu.defaultAction() == action ? "*" : "");
    }
    return lines;
}

QString Item(int command, bool isDefault = false)
{
    return QString::number(command) + (isDefault ? "*" : "");
}

const QStringList kFixed = {Item(ID_GOTO),      "-", Item(ID_PREVIOUS_PAGE),
                            Item(ID_NEXT_PAGE), "-", Item(ID_RELOAD),
                            Item(ID_STOP)};
const QStringList kEnd = QStringList{"-"} + kFixed + QStringList{"-", Item(ID_OPTIONS)};
const QString kSubsetBoth =
    "[" + Item(ID_CREATE_SUBSET_FROM_SELECTION) + "|" + Item(ID_CREATE_EMPTY_SUBSET) + "]";
const QString kSubsetEmpty = "[" + Item(ID_CREATE_EMPTY_SUBSET) + "]";
const QString kSubsetAccess = Item(ID_SUBSET_ACCESS);

ResultRow Row(const std::string& checkoutBy, const std::string& mode)
{
    ResultRow row;
    row.id = std::string("1"); // not a literal: GCC 12 warns wrongly on that
    row.writable = true;
    row.checkoutBy = checkoutBy;
    row.mode = mode;
    return row;
}

void List(PanelHarness& h)
{
    QVERIFY(h.go("molb://tester:pw@test/fixture=ops-v3&/db/testmode=sleep:300&", "Shared"));
    QVERIFY(QTest::qWaitFor([&h] { return h.handlerCalls().size() == 2; }));
}

// Runs open, which must open the context menu, and inspect while the menu is open; closes the
// menu afterwards unless inspect chose an item.
void WithOpenMenu(const std::function<void()>& open, const std::function<void(QMenu*)>& inspect)
{
    bool inspected = false;
    QTimer::singleShot(50, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        inspected = true;
        QVERIFY(popup);
        inspect(popup);
        if (popup->isVisible())
            popup->close();
    });
    open();
    QTRY_VERIFY(inspected); // also when open showed nothing, so the timer finds us alive
}

std::function<void()> PopMenu(PanelHarness& h)
{
    return [&h] {
        SendMessageA(h.dbscout()->panel(), UM_DBSCOUT_POP_MENU, 0, packScreenPoint({10, 10}));
    };
}

} // namespace

class MenuTest : public QObject
{
    Q_OBJECT
private slots:
    void menusForSelectionsAndVersions()
    {
        // 0 free with a mode, 1 and 2 checked out by the user, 3 checked out by another.
        const ResultRow rows[] = {Row("", "rw-"), Row("curator", "rw-"), Row("curator", ""),
                                  Row("reviewer", "rw-")};
        // Every menu ends with the subset popup and the fixed items; head is what comes before.
        const struct
        {
            const char* what;
            int version;
            bool rowsListed;
            std::vector<int> selection;
            std::string subsetMode;
            QStringList head;
        } cases[] = {
            {"version 3, the user's rows, subset with a mode",
             3,
             true,
             {1, 2},
             "rw-",
             {Item(ID_CHECK_IN, true), "-", Item(ID_UNDO_CHECK_OUT), kSubsetAccess, "-"}},
            {"version 2, one free row with a mode",
             2,
             true,
             {0},
             "",
             {Item(ID_CHECK_OUT, true), "-", Item(ID_OBJECT_ACCESS), "-"}},
            {"version 2, the user's rows: no undo",
             2,
             true,
             {1, 2},
             "",
             {Item(ID_CHECK_IN, true), "-"}},
            {"placeholder row", 3, false, {0}, "rw-", {}},
            {"mixed selection", 3, true, {0, 1}, "", {}},
            {"another user's row", 3, true, {3}, "r", {kSubsetAccess, "-"}},
        };
        initResources();
        for (const auto& c : cases) {
            std::vector<const ResultRow*> selected;
            for (int index : c.selection)
                selected.push_back(&rows[index]);
            const SubsetEntry subset{"Alpha", c.subsetMode};
            QMenu menu;
            BuildContextMenu(
                menu, makeContextMenuState(ClassifySelection(selected, "curator", c.version),
                                           int(selected.size()), c.version, c.rowsListed, &subset));
            QVERIFY2(DescribeMenu(menu) == c.head + QStringList{kSubsetBoth} + kEnd,
                     qPrintable(c.what + (": " + DescribeMenu(menu).join(" | "))));
        }
    }

    // Below version 2 a server has no operations: a key such as Ctrl+O finds no row to act on,
    // though the same rows qualify at version 2.
    void serversBeforeVersionTwoLeaveNoRowToActOn()
    {
        const ResultRow rows[] = {Row("", "rw-"), Row("curator", "rw-")};
        const std::vector<const ResultRow*> selected = {&rows[0], &rows[1]};
        for (int version : {0, 1, 2}) {
            const SelectionClasses classes = ClassifySelection(selected, "curator", version);
            const size_t expected = version >= 2 ? 1 : 0;
            QCOMPARE(classes.freeRows.size(), expected);
            QCOMPARE(classes.checkedOutByUser.size(), expected);
            QCOMPARE(classes.accessCandidates.size(), expected);
        }
    }

    void packedPointsKeepSignedCoordinates()
    {
        for (const QPoint point : {QPoint(1920, 1080), QPoint(40, -2), QPoint(-32768, 32767)}) {
            const long packed = packScreenPoint(point);
            QCOMPARE(packed & ~0xFFFFFFFFL, 0L);
            QCOMPARE(unpackScreenPoint(packed), point);
        }
    }

    void panelMenuFollowsTheListedPageAndSelection()
    {
        PanelHarness h;
        // Before any listing the server counts as version 1: the fixed items only.
        WithOpenMenu(PopMenu(h), [](QMenu* menu) { QCOMPARE(DescribeMenu(*menu), kFixed); });
        List(h);
        h.select({"alpha", "gamma"}); // free rows, in a subset with a mode, at version 3
        WithOpenMenu(PopMenu(h), [](QMenu* menu) {
            QCOMPARE(DescribeMenu(*menu), QStringList({Item(ID_CHECK_OUT, true), "-", kSubsetAccess,
                                                       Item(ID_OBJECT_ACCESS), "-", kSubsetBoth}) +
                                              kEnd);
        });
    }

    void downloadingRowOffersNoObjectItemsAndStopTurnsGrey()
    {
        PanelHarness h;
        List(h);
        h.select({"alpha"});
        h.command(ID_RELOAD); // answers after 300 ms; meanwhile only "Downloading..." is listed
        QCOMPARE(h.columnTexts(), QStringList{"Downloading..."});
        WithOpenMenu(PopMenu(h), [&](QMenu* menu) {
            QCOMPARE(DescribeMenu(*menu), QStringList{kSubsetEmpty} + kEnd);
            QAction* stop = findMenuItem(*menu, ID_STOP);
            QVERIFY(stop->isEnabled());
            QVERIFY(h.waitForListing());
            QTRY_VERIFY_WITH_TIMEOUT(!stop->isEnabled(), 5000);
        });
    }

    // Set access to the subset, started from the subset's own mode, confirmed unchanged.
    void chosenItemRunsItsCommand()
    {
        PanelHarness h;
        List(h);
        h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdOk); }));
        WithOpenMenu(PopMenu(h), [](QMenu* menu) {
            menu->setActiveAction(findMenuItem(*menu, ID_SUBSET_ACCESS));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QCOMPARE(h.modal().dialogsShown(), 1);
        QVERIFY(h.waitForListing());
        QVERIFY(h.handlerCalls().last().endsWith(
            "&command=schmod&command=dir&subsetmode=w--&subset=Shared"));
    }

    void rightClickInTheListOpensTheMenuAtTheCursor()
    {
        PanelHarness h;
        List(h);
        QWidget* viewport = h.list()->viewport();
        const QPoint local(40, 30);
        const QPoint global = viewport->mapToGlobal(local);
        WithOpenMenu(
            [&] {
                QContextMenuEvent click(QContextMenuEvent::Mouse, local, global);
                QApplication::sendEvent(viewport, &click);
            },
            [&](QMenu* menu) {
                QCOMPARE(menu->geometry().topLeft(), global);
                QVERIFY(findMenuItem(*menu, ID_OPTIONS));
            });
    }

    void toolbarArrowOpensTheMenuAndTheButtonGoesTo()
    {
        PanelHarness h;
        auto* toolBar = qobject_cast<CMenuToolBar*>(h.control(IDC_TOOLBAR));
        QVERIFY(toolBar);
        QStyleOptionToolButton option;
        option.initFrom(toolBar);
        option.features = QStyleOptionToolButton::MenuButtonPopup;
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        const QRect arrow = toolBar->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                             QStyle::SC_ToolButtonMenu, toolBar);
        WithOpenMenu([&] { QTest::mouseClick(toolBar, Qt::LeftButton, {}, arrow.center()); },
                     [](QMenu* menu) { QVERIFY(findMenuItem(*menu, ID_GOTO)); });
        QCOMPARE(h.modal().dialogsShown(), 0);

        QString title; // the button itself runs Go to, whose dialog the user cancels here
        h.modal().answerNextDialog(Scripted([&title](QDialog* d) { title = d->windowTitle(); }));
        QTest::mouseClick(toolBar, Qt::LeftButton, {}, QPoint(3, toolBar->height() / 2));
        QCOMPARE(title, QString("Go to"));
    }
};

QTEST_MAIN(MenuTest)
#include "menu_test.moc"
