// The context menu of the real panel: opened by the message, a right click in the list and the
// toolbar's arrow; its items for the listed selection; a chosen item running its command; Stop
// turning grey while the menu is open.

#include "dialog_support.h"
#include "menu_description.h"
#include "panel/panel_harness.h"

#include "operations/context_menu.h"
#include "operations/menu_toolbar.h"
#include "panel/scout_panel.h"
#include "platform/registered_messages.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QStyleOptionToolButton>
#include <QTimer>
#include <QTreeWidget>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

const QStringList kTail = {
    "-",           "&Go to\tCtrl+G", "-", "&Previous Page\tCtrl+PgUp", "&Next Page\tCtrl+PgDn", "-",
    "&Reload\tF5", "&Stop\tEsc",     "-", "O&ptions...\tCtrl+P"};

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
        SendMessageA(h.dbscout()->panel(), UM_DBSCOUT_POP_MENU, 0, PackScreenPoint({10, 10}));
    };
}

} // namespace

class PanelMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void menuFollowsTheListedPageAndSelection()
    {
        PanelHarness h;
        // Before any listing the server counts as version 1: the fixed items only.
        WithOpenMenu(PopMenu(h),
                     [](QMenu* menu) { QCOMPARE(DescribeMenu(*menu), kTail.mid(1, 7)); });
        List(h);
        h.select({"alpha", "gamma"}); // free rows, in a subset with a mode, at version 3
        WithOpenMenu(PopMenu(h), [](QMenu* menu) {
            QCOMPARE(DescribeMenu(*menu),
                     QStringList({"Check Out\tCtrl+O (default)", "-",
                                  "Set access to the current subset\tCtrl+C",
                                  "Set access to selected objects\tCtrl+A", "-",
                                  "Subset[Create Subset using selected objects...\tCtrl+B|"
                                  "Create an empty Subset...\tCtrl+S]"}) +
                         kTail);
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
            QCOMPARE(DescribeMenu(*menu),
                     QStringList{"Subset[Create an empty Subset...\tCtrl+S]"} + kTail);
            QAction* stop = FindMenuItem(*menu, ID_STOP);
            QVERIFY(stop->isEnabled());
            QVERIFY(h.waitForListing());
            QTRY_VERIFY_WITH_TIMEOUT(!stop->isEnabled(), 5000);
        });
    }

    void chosenItemRunsItsCommand()
    {
        PanelHarness h;
        List(h);
        h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdOk); }));
        WithOpenMenu(PopMenu(h), [](QMenu* menu) {
            menu->setActiveAction(FindMenuItem(*menu, ID_SUBSET_ACCESS));
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
                QVERIFY(FindMenuItem(*menu, ID_OPTIONS));
            });
    }

    void toolbarArrowOpensTheMenuAndTheButtonGoesTo()
    {
        PanelHarness h;
        h.dbscout()->resize(500, 400); // the menu fits on the screen to the button's right
        auto* toolBar = qobject_cast<CMenuToolBar*>(h.control(IDC_TOOLBAR));
        QVERIFY(toolBar);
        QStyleOptionToolButton option;
        option.initFrom(toolBar);
        option.features = QStyleOptionToolButton::MenuButtonPopup;
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        const QRect arrow = toolBar->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                             QStyle::SC_ToolButtonMenu, toolBar);
        const QPoint corner = toolBar->mapToGlobal(QPoint(0, toolBar->height()));
        WithOpenMenu([&] { QTest::mouseClick(toolBar, Qt::LeftButton, {}, arrow.center()); },
                     [&](QMenu* menu) { QCOMPARE(menu->geometry().topLeft(), corner); });
        QCOMPARE(h.modal().dialogsShown(), 0);

        QString title; // the button itself runs Go to, whose dialog the user cancels here
        h.modal().answerNextDialog(Scripted([&title](QDialog* d) { title = d->windowTitle(); }));
        QTest::mouseClick(toolBar, Qt::LeftButton, {}, QPoint(3, toolBar->height() / 2));
        QCOMPARE(title, QString("Go to"));
    }
};

QTEST_MAIN(PanelMenuTest)
#include "panel_menu_test.moc"
