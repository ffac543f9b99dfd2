// The browse cycle through the real panel and the test handler: the listing URL sent, the list
// filled from the answer, job replacement, stopping, paging, errors and the subset box.

#include "panel_harness.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using namespace DbscoutTest;

class BrowseTest : public QObject
{
    Q_OBJECT

private slots:
    void goSendsTheListingUrlAndFillsTheList()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        QVERIFY(h.go(address, "my primers"));
        QCOMPARE(h.handlerCalls(true), QStringList{QString::fromStdString(
                                           address + "?start=0&page=100&query=my%20primers")});

        QTreeWidget* list = h.list();
        QCOMPARE(list->columnCount(), 3);
        QCOMPARE(list->headerItem()->text(2), QString("Length"));
        QCOMPARE(h.columnTexts(),
                 QStringList({"pUC19", "M13mp18", "pBR322", "lambda", "fragment"}));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("L09137"));
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

    void goTwiceQuicklyKeepsOnlyTheSecondAnswer()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-protein-v1", "testmode=sleep:700&"));
        h.pressGo();
        QVERIFY(h.go(fixtureAddress("panel-dnarna")));
        QTest::qWait(1200); // the first, retired job answers meanwhile and is ignored
        QCOMPARE(h.columnTexts(),
                 QStringList({"pUC19", "M13mp18", "pBR322", "lambda", "fragment"}));
    }

    void stopKillsAHangingHandlerAndEmptiesTheList()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "testmode=hang&"));
        h.pressGo();
        QTest::qWait(200);
        QCOMPARE(h.columnTexts(), QStringList({"Downloading..."}));
        QTest::keyClick(h.list(), Qt::Key_Escape);
        QCOMPARE(h.list()->columnCount(), 0);
        QTest::qWait(300); // the stopped job still reports; nothing changes
        QCOMPARE(h.list()->topLevelItemCount(), 0);
        QVERIFY(h.modal().messages().empty());
    }

    void pagingMovesTheStartNeverBelowZeroAndEnterKeepsThePage()
    {
        PanelHarness h;
        QVERIFY(h.go(fixtureAddress("panel-dnarna")));
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
    }

    void theSubsetNamesAreAskedForAfterTheListButDoNotWaitLong()
    {
        {
            PanelHarness h;
            QVERIFY(h.go(fixtureAddress("panel-dnarna")));
            QTRY_VERIFY(h.queryBox()->count() > 1);
            const QStringList calls = h.handlerCalls();
            QCOMPARE(calls.size(), 2);
            QVERIFY2(calls[0].contains("start=") && !calls[1].contains("start="),
                     qPrintable(calls.join("\n")));
        }
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-dnarna", "slow-listing=4000&"));
        h.pressGo();
        QTRY_VERIFY_WITH_TIMEOUT(h.queryBox()->findText("Plasmids") >= 0, 3000);
        QCOMPARE(h.columnTexts(), QStringList({"Downloading..."}));
        QVERIFY(h.waitForListing());
        QCOMPARE(h.columnTexts().size(), 5);
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

    void subsetAnswerAfterTheObjectPageLeavesTheServersSubsets()
    {
        PanelHarness h;
        QVERIFY(h.go(fixtureAddress("panel-dnarna", "slow-subsets=400&")));
        QVERIFY(h.waitForSubsets(3));
        QTest::qWait(100);
        QCOMPARE(itemTexts(h.queryBox()), QStringList({"Primers", "Plasmids", "Archive"}));
        QCOMPARE(h.queryBox()->currentIndex(), 0);
    }

    void typedAddressThatAnsweredEntersTheBoxAndHistory()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        QVERIFY(h.go(address));
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
