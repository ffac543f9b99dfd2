// The context menu of the real panel: opened by the message, a right click in the list and the
// toolbar's arrow; its items for the listed selection; a chosen item running its command; Stop
// turning grey while the menu is open.

#include "dialog_support.h"
#include "menu_description.h"
#include "panel/panel_harness.h"

#include "operations/context_menu.h"
#include "operations/menu_toolbar.h"
#include "operations/modal_dialog.h"
#include "panel/scout_panel.h"
#include "platform/registered_messages.h"
#include "resources/ids.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QStyleOptionToolButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

const std::string kAddress = "molb://tester:pw@test/fixture=ops-v3&/db/testmode=sleep:300&";

const QStringList kTail = {
    "-",           "&Go to\tCtrl+G", "-", "&Previous Page\tCtrl+PgUp", "&Next Page\tCtrl+PgDn", "-",
    "&Reload\tF5", "&Stop\tEsc",     "-", "O&ptions...\tCtrl+P"};
const QString kSubsetBoth = "Subset[Create Subset using selected objects...\tCtrl+B|"
                            "Create an empty Subset...\tCtrl+S]";

void List(PanelHarness& h)
{
    h.typeSource(kAddress);
    h.typeQuery("Shared");
    h.pressGo();
    QVERIFY(h.waitForListing());
    QVERIFY(QTest::qWaitFor([&h] { return h.handlerCalls().size() == 2; }));
}

void Select(PanelHarness& h, const QStringList& names)
{
    for (int i = 0; i < h.list()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = h.list()->topLevelItem(i);
        item->setSelected(names.contains(item->text(0)));
    }
}

bool Downloading(PanelHarness& h)
{
    return h.rowNames() == QStringList{"Downloading..."};
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

void PopMenu(PanelHarness& h, const QPoint& at)
{
    SendMessageA(h.dbscout()->panel(), UM_DBSCOUT_POP_MENU, 0, PackScreenPoint(at));
}

} // namespace

class PanelMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void menuFollowsTheSelection();
    void downloadingRowOffersNoObjectItemsAndStopTurnsGrey();
    void chosenItemRunsItsCommand();
    void rightClickInTheListOpensTheMenuAtTheCursor();
    void toolbarArrowOpensTheMenuUnderTheButton();
};

void PanelMenuTest::menuFollowsTheSelection()
{
    PanelHarness h;
    const struct
    {
        QStringList selection;
        QStringList head;
    } cases[] = {
        {{"delta", "epsilon"},
         {"Check In\tCtrl+I (default)", "-", "Undo Check Out\tCtrl+U",
          "Set access to the current subset\tCtrl+C", "-", kSubsetBoth}},
        {{"alpha", "gamma"},
         {"Check Out\tCtrl+O (default)", "-", "Set access to the current subset\tCtrl+C",
          "Set access to selected objects\tCtrl+A", "-", kSubsetBoth}},
        {{"alpha", "delta"}, {"Set access to the current subset\tCtrl+C", "-", kSubsetBoth}},
        {{},
         {"Set access to the current subset\tCtrl+C", "-",
          "Subset[Create an empty Subset...\tCtrl+S]"}},
    };
    // Before any listing the server counts as version 1: the fixed items only.
    WithOpenMenu([&h] { PopMenu(h, QPoint(10, 10)); },
                 [](QMenu* menu) { QCOMPARE(DescribeMenu(*menu), kTail.mid(1, 7)); });
    List(h);
    for (const auto& c : cases) {
        Select(h, c.selection);
        WithOpenMenu([&h] { PopMenu(h, QPoint(10, 10)); },
                     [&c](QMenu* menu) { QCOMPARE(DescribeMenu(*menu), c.head + kTail); });
    }
}

void PanelMenuTest::downloadingRowOffersNoObjectItemsAndStopTurnsGrey()
{
    PanelHarness h;
    List(h);
    Select(h, {"alpha"});
    h.command(ID_RELOAD); // answers after 300 ms; meanwhile only "Downloading..." is listed
    QVERIFY(Downloading(h));
    qint64 greyAfterMs = -1;
    WithOpenMenu([&h] { PopMenu(h, QPoint(10, 10)); },
                 [&](QMenu* menu) {
                     QCOMPARE(DescribeMenu(*menu),
                              QStringList{"Subset[Create an empty Subset...\tCtrl+S]"} + kTail);
                     QAction* stop = FindMenuItem(*menu, ID_STOP);
                     QVERIFY(stop->isEnabled());
                     QVERIFY(QTest::qWaitFor([&h] { return !Downloading(h); }));
                     QElapsedTimer sinceAnswer;
                     sinceAnswer.start();
                     QTRY_VERIFY_WITH_TIMEOUT(!stop->isEnabled(), 5000);
                     greyAfterMs = sinceAnswer.elapsed();
                 });
    qInfo("Stop turned grey %lld ms after the listing was shown", greyAfterMs);
    QVERIFY(greyAfterMs >= 0);
}

void PanelMenuTest::chosenItemRunsItsCommand()
{
    PanelHarness h;
    List(h);
    h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdOk); }));
    WithOpenMenu([&h] { PopMenu(h, QPoint(10, 10)); },
                 [](QMenu* menu) {
                     menu->setActiveAction(FindMenuItem(*menu, ID_SUBSET_ACCESS));
                     QTest::keyClick(menu, Qt::Key_Return);
                 });
    QCOMPARE(h.modal().dialogsShown(), 1);
    QVERIFY(h.waitForListing());
    QVERIFY(h.handlerCalls().last().endsWith(
        "&command=schmod&command=dir&subsetmode=w--&subset=Shared"));
}

void PanelMenuTest::rightClickInTheListOpensTheMenuAtTheCursor()
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

void PanelMenuTest::toolbarArrowOpensTheMenuUnderTheButton()
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
}

QTEST_MAIN(PanelMenuTest)
#include "panel_menu_test.moc"
