// The browse cycle through the real panel and the test handler: the listing URL sent, the list
// filled from the answer, job replacement, stopping, paging, errors and the subset box; then the
// result list: sorting by column, the layout remembered per data source, clicks and double
// clicks, the host's notification and the object URL.

#include "panel_harness.h"

#include "panel/panel_metrics.h"
#include "platform/registered_messages.h"
#include "settings/options.h"
#include "settings/table_layouts.h"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPushButton>

using namespace DbscoutTest;

namespace {

const std::string kDna = fixtureAddress("panel-dnarna");
const QStringList kByName = {"M13mp18", "fragment", "lambda", "pBR322", "pUC19"};
const QStringList kByNameDown = {"pUC19", "pBR322", "lambda", "fragment", "M13mp18"};

constexpr DWORD kNotStored = 0xBAD;

// Swallows the paint events of the widget it filters.
class PaintBlock final : public QObject
{
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Paint; }
};

// Counts the paints of a list's whole viewport that show rows of an answer.
class RowPaintCount final : public QObject
{
public:
    explicit RowPaintCount(QTreeWidget* list) : m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_list->topLevelItemCount() > 0 &&
            m_list->topLevelItem(0)->text(0) != "Downloading..." &&
            static_cast<QPaintEvent*>(event)->rect() == m_list->viewport()->rect())
            ++count;
        return false;
    }

private:
    QTreeWidget* m_list;
};

// When, from its start, the timer saw the box painted while it listed nothing.
class EmptyBoxPaints final : public QObject
{
public:
    explicit EmptyBoxPaints(QComboBox* box) : m_box(box) { box->installEventFilter(this); }
    QElapsedTimer clock;
    QList<qint64> times;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_box->count() == 0)
            times << clock.elapsed();
        return false;
    }

private:
    QComboBox* m_box;
};

// A value of the first data source's stored layout, read back from the settings store.
DWORD storedLayoutValue(PanelHarness& h, const char* name)
{
    Dbscout::RegKey entry;
    DWORD type = 0, stored = 0, size = sizeof stored;
    if (entry.open(h.settingsKey(), "SCOUTPANE_UI\\TableSettings\\QUERY_HISTORY\\0") !=
            ERROR_SUCCESS ||
        RegQueryValueExA(entry.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                         &size) != ERROR_SUCCESS)
        return kNotStored;
    return stored;
}

} // namespace

class BrowseTest : public QObject
{
    Q_OBJECT

private slots:
    void goSendsTheListingUrlAndFillsTheList()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna, "my primers"));
        QCOMPARE(h.handlerCalls(true), QStringList{QString::fromStdString(
                                           kDna + "?start=0&page=100&query=my%20primers")});

        QTreeWidget* list = h.list();
        QCOMPARE(list->columnCount(), 3);
        QCOMPARE(list->headerItem()->text(2), QString("Length"));
        QCOMPARE(h.columnTexts(),
                 QStringList({"pUC19", "M13mp18", "pBR322", "lambda", "fragment"}));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("L09137"));
        QCOMPARE(list->topLevelItem(4)->text(2), QString()); // a row without that cell
        // Free, read-only and held rows each get their own overlay on the kind image.
        auto image = [list](int row) {
            return list->topLevelItem(row)->icon(0).pixmap(16).toImage();
        };
        QVERIFY(!image(0).isNull());
        QVERIFY(image(0) != image(3) && image(0) != image(1) && image(3) != image(1));
        QCOMPARE(h.status()->text(),
                 QString("57 objects were found. The first object # is 1, page size: 100"));
        QCOMPARE(h.queryBox()->currentText(), QString("Primers")); // the page's caption
        QVERIFY(h.modal().messages().empty());
    }

    // A list that replaces another is painted once with its rows: every paint of the list is a
    // paint of every visible row.
    void anAnswerIsPaintedOnce()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        QVERIFY(h.waitForSubsets(3));
        h.typeSource(kDna);
        QTest::qWait(50); // what the typing repaints, the old rows included
        RowPaintCount paints(h.list());
        h.pressGo();
        QVERIFY(h.waitForListing());
        QVERIFY(h.waitForSubsets(3)); // asked for once the list was painted
        QTest::qWait(100);
        QCOMPARE(paints.count, 1);
    }

    // Go empties the Subset/Query box; it is painted empty only once the list is painted
    // "Downloading...", never in the moment before (the hold), when an answer may still come.
    void theEmptiedQueryBoxWaitsForTheList()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        QVERIFY(h.waitForSubsets(3));
        QTest::qWait(50);
        EmptyBoxPaints paints(h.queryBox());
        paints.clock.start();
        h.pressGo();
        QVERIFY(h.waitForListing());
        QVERIFY(h.waitForSubsets(3));
        for (qint64 at : paints.times)
            QVERIFY2(at >= 33, qPrintable(QString("painted empty at %1 ms").arg(at)));
    }

    void goTwiceQuicklyKeepsOnlyTheSecondAnswer()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-protein-v1", "testmode=sleep:700&"));
        h.pressGo();
        QVERIFY(h.go(kDna));
        QTest::qWait(1200); // the first, retired job answers meanwhile and is ignored
        QCOMPARE(h.columnTexts(),
                 QStringList({"pUC19", "M13mp18", "pBR322", "lambda", "fragment"}));
    }

    void stopKillsAHangingHandlerAndEmptiesTheList()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        h.clickHeader(0); // sorted: the first column's title carries the sort image
        QCOMPARE(h.dbscout()->panel()->cursor().shape(), Qt::ArrowCursor);
        h.typeSource(fixtureAddress("panel-dnarna", "testmode=hang&"));
        h.pressGo();
        QCOMPARE(h.dbscout()->panel()->cursor().shape(), Qt::BusyCursor);
        QVERIFY(!h.list()->updatesEnabled()); // an answer within a moment is painted once, filled
        QTest::qWait(200);
        QCOMPARE(h.columnTexts(), QStringList({"Downloading..."}));
        // One untitled column of its own, with nothing left of the last list's first column.
        QCOMPARE(h.list()->columnCount(), 1);
        QCOMPARE(h.list()->headerItem()->text(0), QString());
        QVERIFY(h.list()->headerItem()->icon(0).isNull());
        QCOMPARE(h.list()->columnWidth(0), Dbscout::kDownloadingColumnWidth);
        QVERIFY(h.list()->updatesEnabled() && h.status()->updatesEnabled()); // a slow one shows it
        QTest::keyClick(h.list(), Qt::Key_Escape);
        QCOMPARE(h.list()->columnCount(), 0);
        QCOMPARE(h.dbscout()->panel()->cursor().shape(), Qt::ArrowCursor);
        QTest::qWait(300); // the stopped job still reports; nothing changes
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        QVERIFY(h.modal().messages().empty());

        // Stopped within that moment (here by the host), the emptied list is painted at once.
        h.pressGo();
        h.dbscout()->Stop();
        QCOMPARE(h.list()->columnCount(), 0);
        QVERIFY(h.list()->updatesEnabled() && h.status()->updatesEnabled());
    }

    // Esc with nothing running leaves the list and the panel as they are; only the cursor is
    // made an arrow again, whatever set it.
    void escWhileIdleChangesNothingButTheCursor()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        QVERIFY(h.waitForSubsets(3));
        const qsizetype calls = h.handlerCalls().size();
        h.dbscout()->panel()->setCursor(Qt::BusyCursor);
        QTest::keyClick(h.list(), Qt::Key_Escape);
        QCOMPARE(h.dbscout()->panel()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(h.columnTexts().size(), 5);
        QCOMPARE(h.list()->columnCount(), 3);
        QVERIFY(h.dbscout()->panel()->isVisible() && h.host()->isVisible());
        QTest::qWait(50);
        QCOMPARE(h.handlerCalls().size(), calls);
    }

    void altGPressesGoWhoseFaceIsAnIcon()
    {
        PanelHarness h;
        h.typeSource(kDna);
        QTest::keyClick(h.sourceBox()->lineEdit(), Qt::Key_G, Qt::AltModifier);
        // The button shows itself pressed for a moment before it clicks.
        QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls(true).size() == 1; }));
        QVERIFY(h.waitForListing());
        QCOMPARE(h.columnTexts().size(), 5);
    }

    // Go-to OK lists from its start with its page size; Next page after the largest start a
    // request can carry stays there.
    void goToListsThereAndNextPageStopsAtTheLargestStart()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        h.modal().answerNextDialog([](QDialog* dialog) {
            dialog->findChild<QLineEdit*>("6906")->setText("2147483647");
            dialog->findChild<QLineEdit*>("6907")->setText("20");
            dialog->findChild<QPushButton*>("1")->click();
            return dialog->result();
        });
        QTest::keyClick(h.list(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(h.waitForListing());
        QTest::keyClick(h.list(), Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(h.waitForListing());
        const QStringList listings = h.handlerCalls(true);
        QCOMPARE(listings.size(), 3);
        for (const QString& listing : listings.mid(1))
            QVERIFY2(listing.contains("?start=2147483647&page=20&"), qPrintable(listing));
    }

    void refreshThroughTheHostWindow()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        QVERIFY(h.waitForSubsets(3));
        const qsizetype before = h.handlerCalls().size();
        h.dbscout()->Refresh(); // the listing again, and the subset names
        QVERIFY(h.waitForListing());
        QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls().size() == before + 2; }));
        const QStringList calls = h.handlerCalls().mid(before);
        QVERIFY2(calls[0].startsWith(QString::fromStdString(kDna) + "?start=0&page=100&") &&
                     !calls[1].contains("start="),
                 qPrintable(calls.join('\n')));
    }

    void completionMessagesOfJobsThePanelDoesNotHoldAreIgnored()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        for (LPARAM foreign : {LPARAM(0), LPARAM(16)})
            SendMessageA(h.dbscout()->panel(), MOLBSCOUTPANE_MARKUP_DONE, 0, foreign);
        QCOMPARE(h.columnTexts().size(), 5);
        QVERIFY(h.modal().messages().empty());
    }

    void pagingMovesTheStartNeverBelowZeroAndEnterKeepsThePage()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        for (int command : {6973, 6974, 6974, 6973}) { // previous at 0, next, next, previous
            h.command(command);
            QVERIFY(h.waitForListing());
        }
        QStringList starts;
        for (const QString& call : h.handlerCalls(true))
            starts << call.section("start=", 1).section('&', 0, 0);
        QCOMPARE(starts, QStringList({"0", "0", "100", "200", "100"}));

        // Typed text naming a listed subset is not a pick of it (which lists from page 0).
        QTRY_VERIFY(h.queryBox()->findText("Plasmids") >= 0);
        h.typeQuery("Plasmids");
        QTest::keyClick(h.queryBox()->lineEdit(), Qt::Key_Return);
        QVERIFY(h.waitForListing());
        QVERIFY2(h.handlerCalls(true).last().contains("start=100&page=100&query=Plasmids"),
                 qPrintable(h.handlerCalls().join("\n")));

        // From 30, the page before starts at 0.
        h.modal().answerNextDialog([](QDialog* dialog) {
            dialog->findChild<QLineEdit*>("6906")->setText("30");
            dialog->findChild<QPushButton*>("1")->click();
            return dialog->result();
        });
        for (int command : {6976, 6973}) { // Go to, previous
            h.command(command);
            QVERIFY(h.waitForListing());
        }
        const QStringList lastTwo = h.handlerCalls(true).mid(h.handlerCalls(true).size() - 2);
        QVERIFY2(lastTwo.size() == 2 && lastTwo[0].contains("?start=30&page=100&") &&
                     lastTwo[1].contains("?start=0&page=100&"),
                 qPrintable(lastTwo.join('\n')));
    }

    void theSubsetNamesDoNotWaitLongForTheList()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "slow-listing=4000&"));
        h.pressGo();
        QTRY_VERIFY_WITH_TIMEOUT(h.queryBox()->findText("Plasmids") >= 0, 3000);
        QCOMPARE(h.columnTexts(), QStringList({"Downloading..."}));
        QVERIFY(h.waitForListing());
        QCOMPARE(h.columnTexts().size(), 5);
    }

    // They are asked for after the list's paint; a list that is never painted (a hidden host, or
    // one that paints nothing, as a minimised one) still gets them.
    void theSubsetNamesComeWhetherOrNotTheListIsPainted()
    {
        for (const char* host : {"painted", "hidden", "paints nothing"}) {
            PanelHarness h;
            PaintBlock block;
            if (host == std::string("hidden"))
                h.host()->hide();
            else if (host == std::string("paints nothing"))
                h.list()->viewport()->installEventFilter(&block);
            h.typeSource(kDna);
            h.command(6901); // Go
            QVERIFY2(h.waitForListing(), host);
            QVERIFY2(h.waitForSubsets(3), host);
            QCOMPARE(itemTexts(h.queryBox()), QStringList({"Primers", "Plasmids", "Archive"}));
            const QStringList calls = h.handlerCalls();
            QCOMPARE(calls.size(), 2);
            QVERIFY2(calls[0].contains("start=") && !calls[1].contains("start="), host);
        }
    }

    void failuresShowTheirMessageUnderTheirCaption_data()
    {
        QTest::addColumn<int>("dataType");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("failed page") << 0 << QString::fromStdString(fixtureAddress("error"))
                                     << "Subset Gamma does not exist."
                                     << "MOLB protocol error";
        QTest::newRow("another kind")
            << -1 << QString::fromStdString(fixtureAddress("panel-citation")) << "Wrong data type."
            << "Dbscout error";
        QTest::newRow("no handler") << 0 << "http://elsewhere/db"
                                    << "MOLB protocol error: cannot execute protocol!"
                                    << "MOLB protocol error";
    }
    void failuresShowTheirMessageUnderTheirCaption()
    {
        QFETCH(int, dataType);
        QFETCH(QString, address);
        PanelHarness h(true, dataType);
        QVERIFY(h.go(address.toStdString()));
        QCOMPARE(int(h.modal().messages().size()), 1);
        QTEST(h.modal().messages()[0].text, "text");
        QTEST(h.modal().messages()[0].caption, "caption");
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        if (QTest::currentDataTag() == QByteArray("failed page"))
            QCOMPARE(h.status()->text(),
                     QString("0 objects were found. The first object # is 0, page size: 0"));
    }

    // Subset names answering after the object page leave the server's subsets (the page's
    // caption selected) and the text typed meanwhile.
    void lateSubsetNamesLeaveThePageCaptionAndTypedText_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("subsets");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("caption") << "panel-dnarna"
                                 << ""
                                 << "" << QStringList({"Primers", "Plasmids", "Archive"})
                                 << "Primers" << 0;
        QTest::newRow("typed") << "panel-search"
                               << "kinase"
                               << "ligase" << QStringList{"Primers"} << "ligase" << -1;
    }
    void lateSubsetNamesLeaveThePageCaptionAndTypedText()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, query);
        QFETCH(QString, typed);
        QFETCH(QStringList, subsets);
        PanelHarness h;
        QVERIFY(
            h.go(fixtureAddress(fixture.toStdString(), "slow-subsets=400&"), query.toStdString()));
        if (!typed.isEmpty())
            h.typeQuery(typed.toStdString());
        QVERIFY(QTest::qWaitFor([&] { return itemTexts(h.queryBox()) == subsets; }));
        QTest::qWait(100);
        QCOMPARE(itemTexts(h.queryBox()), subsets);
        QTEST(h.queryBox()->currentText(), "text");
        QTEST(h.queryBox()->currentIndex(), "index");
    }

    void typedAddressThatAnsweredEntersTheBoxAndHistory()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        QCOMPARE(h.sourceBox()->itemText(0), QString::fromStdString(kDna));
        QCOMPARE(h.sourceBox()->currentIndex(), 0);
        h.destroy();
        const qsizetype listings = h.handlerCalls(true).size();
        h.create();
        // The next panel starts at the same place and lists its subsets, and no objects until Go.
        QCOMPARE(h.sourceBox()->currentText(), QString::fromStdString(kDna));
        QVERIFY(h.waitForSubsets(3));
        QCOMPARE(h.handlerCalls(true).size(), listings);
        QCOMPARE(h.columnTexts(), QStringList{"Please enter a Subset/Query and press \"Go\""});
    }

    void columnClicksSortAsTextToggleAndHoldOnTheNextPage()
    {
        PanelHarness h;
        h.clickHeader(0); // the placeholder list does not sort
        QCOMPARE(h.list()->topLevelItemCount(), 1);
        QVERIFY(h.list()->headerItem()->icon(0).isNull());

        QVERIFY(h.go(kDna));
        h.clickHeader(0);
        QCOMPARE(h.columnTexts(), kByName);
        QVERIFY(!h.list()->headerItem()->icon(0).isNull());
        h.clickHeader(0);
        QCOMPARE(h.columnTexts(), kByNameDown);
        h.command(6974); // next page
        QVERIFY(h.waitForListing());
        QCOMPARE(h.columnTexts(), kByNameDown);

        h.clickHeader(2); // another column: ascending, as text ("10" before "9")
        QVERIFY(h.list()->headerItem()->icon(0).isNull());
        QStringList lengths = h.columnTexts(2);
        lengths.removeAll(QString()); // the short row compares equal to every other
        QCOMPARE(lengths, QStringList({"10", "2686", "7249", "9"}));
    }

    // A stored sort column the page has no header for sorts by the cells the rows still carry
    // there (as text), in the stored direction.
    void aStoredSortPastTheShownColumnsSortsByTheRowsCells_data()
    {
        QTest::addColumn<uint>("direction");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("ascending")
            << 1u << QStringList({"pBR322", "pUC19", "fragment", "M13mp18", "lambda"});
        QTest::newRow("descending")
            << 0u << QStringList({"lambda", "M13mp18", "fragment", "pUC19", "pBR322"});
    }
    void aStoredSortPastTheShownColumnsSortsByTheRowsCells()
    {
        QFETCH(uint, direction);
        const std::string address = fixtureAddress("panel-hidden-cells");
        PanelHarness h;
        h.destroy();
        Dbscout::TableLayouts layouts;
        layouts[address].SortColumn = 2; // the third cell: the length, which has no header
        layouts[address].SortDirection = direction;
        QVERIFY(Dbscout::saveTableLayouts(h.settingsKey(), layouts));
        h.create();
        QVERIFY(h.go(address));
        QCOMPARE(h.list()->columnCount(), 2);
        QTEST(h.columnTexts(), "rows");
    }

    // Layouts are written only when they differ from the last write: a change of any one part
    // alone must still be written, and come back in a new panel.
    void eachPartOfALayoutSurvivesANewPanel_data()
    {
        QTest::addColumn<QString>("part");
        for (const char* part : {"width", "order", "sort column", "sort direction"})
            QTest::newRow(part) << part;
    }
    void eachPartOfALayoutSurvivesANewPanel()
    {
        QFETCH(QString, part);
        PanelHarness h;
        QVERIFY(h.go(kDna));
        if (part == "sort direction")
            h.clickHeader(0); // ascending, written with the next listing
        h.pressGo();
        QVERIFY(h.waitForListing());
        const int width = h.list()->columnWidth(1) + 23;
        if (part == "width")
            h.list()->setColumnWidth(1, width);
        else if (part == "order")
            h.list()->header()->moveSection(2, 0);
        else
            h.clickHeader(0); // ascending by name, or now descending
        h.destroy();

        if (part == "width") // read back from the store, under the data source's entry
            QCOMPARE(int(storedLayoutValue(h, "1")), width);
        h.create();
        h.pressGo();
        QVERIFY(h.waitForListing());
        if (part == "width")
            QCOMPARE(h.list()->columnWidth(1), width);
        else if (part == "order")
            QCOMPARE(h.list()->header()->logicalIndex(0), 2);
        else
            QCOMPARE(h.columnTexts(), part == "sort column" ? kByName : kByNameDown);
    }

    // An unsorted list listed again leaves its stored layout as it was: the direction of no sort
    // must not come back changed from a listing, which would cost a settings write at every Go.
    void anUnsortedLayoutStaysAsStored()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        h.pressGo(); // writes the layout
        QVERIFY(h.waitForListing());
        const DWORD direction = storedLayoutValue(h, "SortDirection");
        QCOMPARE(storedLayoutValue(h, "SortColumn"), DWORD(-1));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(storedLayoutValue(h, "SortDirection"), direction);
    }

    void selectionNamesIdsAndTellsTheHost()
    {
        PanelHarness h;
        h.clickRow(0); // the placeholder
        QCOMPARE(h.nameBox()->text(), QString());
        QVERIFY(h.go(kDna));
        h.list()->setFocus();
        QTest::keyClick(h.list(), Qt::Key_Return); // Enter tells the host even without a row
        QCOMPARE(int(h.host()->picks.size()), 1);
        QVERIFY(!h.host()->picks[0].gotUrl); // nothing named yet
        h.host()->picks.clear();
        h.clickRow(0);
        h.clickRow(2, Qt::ControlModifier);
        h.clickRow(4, Qt::ControlModifier);
        QCOMPARE(h.nameBox()->text(), QString("dna:1,dna:3,dna:5"));

        h.doubleClickRow(0);
        QCOMPARE(int(h.host()->picks.size()), 1);
        const auto& pick = h.host()->picks[0];
        QCOMPARE(pick.wParam, WPARAM(-1));
        QCOMPARE(pick.lParam, LPARAM(0));
        QVERIFY(pick.gotUrl); // asked for inside the host's handler
        // The address's last segment becomes the object; the caption's subset is the query.
        QCOMPARE(
            pick.url,
            std::string("molb://test/fixture=panel-dnarna&/dna:1?query=Primers&command=fetch"));
        QCOMPARE(pick.name, std::string("dna:1"));

        h.doubleClickRow(3); // held by another user: the host is not told
        QCOMPARE(int(h.host()->picks.size()), 1);
    }

    // Keys that move the selection show it in the name box as a click does, with the same
    // rules, so that Enter opens the row the user sees highlighted.
    void keysThatMoveTheSelectionNameItAsAClickDoes()
    {
        PanelHarness h;
        h.list()->setFocus();
        QTest::keyClick(h.list(), Qt::Key_Space); // the placeholder row names nothing
        QVERIFY(h.list()->topLevelItem(0)->isSelected());
        QCOMPARE(h.nameBox()->text(), QString());

        QVERIFY(h.go(kDna));
        h.clickRow(0);
        const std::pair<QKeyCombination, const char*> keys[] = {
            {Qt::Key_Down, "dna:2"},
            {Qt::Key_Down, "dna:3"},
            {Qt::ShiftModifier | Qt::Key_Down, "dna:3,dna:4"},
            {Qt::Key_End, "dna:5"},
            {Qt::ShiftModifier | Qt::Key_Up, "dna:4,dna:5"},
            {Qt::Key_Home, "dna:1"},
            {Qt::Key_PageDown, "dna:5"},
        };
        for (const auto& [key, name] : keys) {
            QTest::keyClick(h.list(), key.key(), key.keyboardModifiers());
            QCOMPARE(h.nameBox()->text(), QString(name));
        }
        h.clickRow(0); // the click, two rows down, Enter: the highlighted row opens
        QTest::keyClick(h.list(), Qt::Key_Down);
        QTest::keyClick(h.list(), Qt::Key_Down);
        QTest::keyClick(h.list(), Qt::Key_Return);
        QCOMPARE(int(h.host()->picks.size()), 1);
        QCOMPARE(
            h.host()->picks[0].url,
            std::string("molb://test/fixture=panel-dnarna&/dna:3?query=Primers&command=fetch"));

        // While a listing runs the keys name nothing.
        h.typeSource(fixtureAddress("panel-dnarna", "testmode=hang&"));
        h.pressGo();
        QTest::keyClick(h.list(), Qt::Key_Down);
        QVERIFY(h.list()->topLevelItem(0)->isSelected());
        QCOMPARE(h.nameBox()->text(), QString("dna:3"));
        h.dbscout()->Stop();
    }

    void onlyTheLeftButtonClicksAndDoubleClicksInTheList()
    {
        PanelHarness h;
        QVERIFY(h.go(kDna));
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            h.clickRow(1, {}, button);
            QCOMPARE(h.nameBox()->text(), QString());
            h.doubleClickRow(1, button);
            QVERIFY(h.host()->picks.empty());
        }
        h.doubleClickRow(1);
        QCOMPARE(h.nameBox()->text(), QString("dna:2"));
        QCOMPARE(int(h.host()->picks.size()), 1);
    }

    // In save mode with "check in when saved" a double click on a row of a subset the server
    // listed asks for the check-in in the object URL the host then takes.
    void saveModeDoubleClickInAServerSubsetArmsTheCheckIn()
    {
        PanelHarness h(false);
        h.destroy(); // a panel saves its own options when it goes
        Dbscout::PanelOptions options;
        options.CHECKIN_ON_SAVE = 1;
        QVERIFY(Dbscout::SaveOptions(h.settingsKey(), options));
        h.create(false);
        QVERIFY(h.go(kDna)); // the page's caption, Primers, is the selected server subset
        h.doubleClickRow(0);
        QCOMPARE(int(h.host()->picks.size()), 1);
        QCOMPARE(h.host()->picks[0].url,
                 std::string("molb://test/fixture=panel-dnarna&/dna:1?query=Primers"
                             "&command=put&command=ci"));
        std::string url, name;
        int flag = 0;
        QVERIFY(h.dbscout()->GetURL(url, flag, name)); // the request went with that pick
        QCOMPARE(url, std::string("molb://test/fixture=panel-dnarna&/dna:1?query=Primers"
                                  "&command=put"));
    }

    void versionOnePagesNotifyWithoutLookingFurther()
    {
        PanelHarness h;
        QVERIFY(h.go(fixtureAddress("panel-protein-v1")));
        h.doubleClickRow(0);
        QCOMPARE(int(h.host()->picks.size()), 1); // held by "curator", yet picked at version 1
    }

    void getUrlInSaveModeAndWithAnEmptyName()
    {
        PanelHarness h(false);
        QVERIFY(h.go(kDna));
        std::string url = "kept", name;
        int flag = 5;
        QCOMPARE(h.dbscout()->GetURL(url, flag, name), FALSE);
        QCOMPARE(flag, 0);
        QCOMPARE(url, std::string("kept"));
        h.nameBox()->setText("  new seq ");
        QCOMPARE(h.dbscout()->GetURL(url, flag, name), TRUE);
        QCOMPARE(url, std::string("molb://test/fixture=panel-dnarna&/new%20seq?query=Primers"
                                  "&command=put"));
        QCOMPARE(name, std::string("new seq"));
    }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
