// The browse cycle through the real panel and the test handler: the listing URL sent, the list
// filled from the answer, job replacement, stopping, paging, errors and the subset box.

#include "panel_harness.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using DbscoutTest::fixtureAddress;
using DbscoutTest::PanelHarness;

class BrowseTest : public QObject
{
    Q_OBJECT

private slots:
    void goSendsTheListingUrlAndFillsTheList()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        h.typeSource(address);
        h.typeQuery("my primers");
        h.pressGo();
        QVERIFY(h.waitForListing());

        const QStringList listings = h.listingCalls();
        QCOMPARE(listings.size(), 1);
        QCOMPARE(listings[0],
                 QString::fromStdString(address + "?start=0&page=100&query=my%20primers"));

        QTreeWidget* list = h.list();
        QCOMPARE(list->columnCount(), 3);
        QCOMPARE(list->headerItem()->text(0), QString("Name"));
        QCOMPARE(list->headerItem()->text(2), QString("Length"));
        QCOMPARE(h.rowNames(), QStringList({"pUC19", "M13mp18", "pBR322", "lambda", "fragment"}));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("L09137"));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            QVERIFY(!list->topLevelItem(i)->icon(0).isNull());
        // A row held by somebody else carries an overlay: its icon differs from a free row's.
        const QImage free = list->topLevelItem(0)->icon(0).pixmap(16).toImage();
        const QImage held = list->topLevelItem(3)->icon(0).pixmap(16).toImage();
        const QImage readOnly = list->topLevelItem(1)->icon(0).pixmap(16).toImage();
        QVERIFY(free != held);
        QVERIFY(free != readOnly);
        QVERIFY(held != readOnly);
        QCOMPARE(h.status()->text(),
                 QString("57 objects were found. The first object # is 1, page size: 100"));
        // The page's caption becomes the current query, from the server's subsets.
        QCOMPARE(h.queryBox()->currentText(), QString("Primers"));
        QVERIFY(h.modal().messages().empty());
    }

    void goTwiceQuicklyKeepsOnlyTheSecondAnswer()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-protein-v1", "testmode=sleep:700&"));
        h.pressGo();
        h.typeSource(fixtureAddress("panel-dnarna"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(h.rowNames().size(), 5);
        QTest::qWait(1200); // the first, retired job answers meanwhile and is ignored
        QCOMPARE(h.rowNames().size(), 5);
        QCOMPARE(h.rowNames().first(), QString("pUC19"));
    }

    void stopKillsAHangingHandlerAndEmptiesTheList()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "testmode=hang&"));
        h.pressGo();
        QTest::qWait(200);
        QCOMPARE(h.rowNames(), QStringList({"Downloading..."}));
        QTest::keyClick(h.list(), Qt::Key_Escape);
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        QCOMPARE(h.list()->columnCount(), 0);
        QTest::qWait(300); // the stopped job still reports; nothing changes
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        QVERIFY(h.modal().messages().empty());
    }

    void pagingMovesTheStartAndNeverBelowZero()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        h.typeSource(address);
        h.pressGo();
        QVERIFY(h.waitForListing());
        h.command(6973); // previous page at 0
        QVERIFY(h.waitForListing());
        h.command(6974); // next page
        QVERIFY(h.waitForListing());
        h.command(6974);
        QVERIFY(h.waitForListing());
        h.command(6973);
        QVERIFY(h.waitForListing());
        QStringList starts;
        for (const QString& call : h.listingCalls())
            starts << call.section("start=", 1).section('&', 0, 0);
        QCOMPARE(starts, QStringList({"0", "0", "100", "200", "100"}));
    }

    void enterInTheQueryBoxListsFromTheSamePage()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        h.command(6974);
        QVERIFY(h.waitForListing());
        // The server's subsets are in the box: the typed text names one of them, and leaving
        // the box with it must not count as picking it (which lists from the first page).
        QTRY_VERIFY(h.queryBox()->findText("Plasmids") >= 0);
        h.typeQuery("Plasmids");
        QTest::keyClick(h.queryBox()->lineEdit(), Qt::Key_Return);
        QVERIFY(h.waitForListing());
        const QString last = h.listingCalls().last();
        QVERIFY2(last.contains("start=100&page=100&query=Plasmids"),
                 qPrintable(h.listingCalls().join("\n")));
    }

    void theSubsetNamesAreAskedForAfterTheList()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QTRY_VERIFY(h.queryBox()->count() > 1);
        const QStringList calls = h.handlerCalls();
        QCOMPARE(calls.size(), 2);
        QVERIFY2(calls[0].contains("start="), qPrintable(calls.join("\n")));
        QVERIFY2(!calls[1].contains("start="), qPrintable(calls.join("\n")));
    }

    void theSubsetNamesDoNotWaitLongForASlowList()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "slow-listing=4000&"));
        h.pressGo();
        QTRY_VERIFY_WITH_TIMEOUT(h.queryBox()->findText("Plasmids") >= 0, 3000);
        QCOMPARE(h.rowNames(), QStringList({"Downloading..."}));
        QVERIFY(h.waitForListing(10000));
        QCOMPARE(h.rowNames().size(), 5);
    }

    void aFailedPageShowsItsMessageUnderTheProtocolCaption()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("error"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages()[0].text, QString("Subset Gamma does not exist."));
        QCOMPARE(h.modal().messages()[0].caption, QString("MOLB protocol error"));
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        QCOMPARE(h.status()->text(),
                 QString("0 objects were found. The first object # is 0, page size: 0"));
    }

    void aPageOfAnotherKindIsRefused()
    {
        PanelHarness h(true, -1);
        h.typeSource(fixtureAddress("panel-citation"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages()[0].text, QString("Wrong data type."));
        QCOMPARE(h.modal().messages()[0].caption, QString("Dbscout error"));
        QCOMPARE(h.list()->topLevelItemCount(), 0);
    }

    void aMissingHandlerBecomesTheJobsError()
    {
        PanelHarness h;
        h.typeSource("http://elsewhere/db");
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages()[0].text,
                 QString("MOLB protocol error: cannot execute protocol!"));
        QCOMPARE(h.modal().messages()[0].caption, QString("MOLB protocol error"));
    }

    void subsetAnswerAfterTheObjectPageLeavesTheServersSubsets()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "slow-subsets=400&"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        QVERIFY(h.waitForSubsets(3));
        QTest::qWait(100);
        QComboBox* box = h.queryBox();
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QString("Primers"));
        QCOMPARE(box->itemText(1), QString("Plasmids"));
        QCOMPARE(box->itemText(2), QString("Archive"));
        QCOMPARE(box->currentIndex(), 0);
    }

    void typedAddressThatAnsweredEntersTheBoxAndHistory()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        h.typeSource(address);
        h.pressGo();
        QVERIFY(h.waitForListing());
        QCOMPARE(h.sourceBox()->itemText(0), QString::fromStdString(address));
        QCOMPARE(h.sourceBox()->currentIndex(), 0);
        h.destroy();
        h.create();
        // The next panel starts at the same place and lists its subsets.
        QCOMPARE(h.sourceBox()->currentText(), QString::fromStdString(address));
        QVERIFY(h.waitForSubsets(3));
    }
};

QTEST_MAIN(BrowseTest)
#include "browse_test.moc"
