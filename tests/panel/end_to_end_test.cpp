// The whole cycle against the real molb handler: a store made with molb-admin, a data source
// configured by importing a .reg file with dbscout-reg, a panel that starts at the last place,
// lists, pages, sorts, and a picked object fetched with the URL the host is given.

#include "panel_harness.h"
#include "real_store.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace DbscoutTest;

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void browsePagesSortsAndFetchesFromTheRealHandler()
    {
        PanelHarness h;
        h.destroy();
        RealStore store(h.env(), 150);

        h.create();
        QCOMPARE(h.sourceBox()->itemText(0), QString("Demo database (DNA/RNA)"));
        h.sourceBox()->setCurrentIndex(0);
        h.typeQuery("MAIN");
        h.pressGo();
        QVERIFY(h.waitForListing(20000));
        for (const ShownMessage& message : h.modal().messages())
            QFAIL(qPrintable(message.text));
        QCOMPARE(h.list()->topLevelItemCount(), 100);
        QVERIFY(h.status()->text().startsWith("150 objects were found. The first object # is 1"));

        h.command(6974); // next page
        QVERIFY(h.waitForListing(20000));
        QCOMPARE(h.list()->topLevelItemCount(), 50);
        QVERIFY(h.status()->text().contains("The first object # is 101"));

        h.clickHeader(0);
        h.clickHeader(0); // by name, descending: the last record comes first
        QCOMPARE(h.list()->topLevelItem(0)->text(0), QString("seq149"));

        h.doubleClickRow(0);
        QCOMPARE(int(h.host()->picks.size()), 1);
        const auto& pick = h.host()->picks[0];
        QVERIFY2(pick.gotUrl && QString::fromStdString(pick.url).endsWith("&command=fetch"),
                 pick.url.c_str());
        // The host hands the URL to the handler as the panel would, split at blanks.
        const QByteArray bytes = store.request(QString::fromStdString(pick.url));
        QVERIFY2(bytes.contains(QByteArray("ACGT").repeated(159)), bytes.left(200).constData());

        // A new panel starts at the same place and lists the server's subsets at once.
        h.destroy();
        h.create();
        QCOMPARE(h.sourceBox()->currentText(), QString("Demo database (DNA/RNA)"));
        QVERIFY(QTest::qWaitFor([&] { return h.queryBox()->findText("Favourites") >= 0; }, 20000));
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
