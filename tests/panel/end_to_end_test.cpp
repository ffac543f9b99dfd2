// The whole cycle against the real molb handler: a store made with molb-admin, a data source
// configured by importing a .reg file with dbscout-reg, a panel that starts at the last place,
// lists, pages, sorts, and a picked object fetched with the URL the host is given.

#include "panel_harness.h"

#include "real_store.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using DbscoutTest::PanelHarness;
using DbscoutTest::RealStore;

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void browsePagesSortsAndFetchesFromTheRealHandler()
    {
        PanelHarness h;
        h.destroy();
        RealStore store(h.env(), 150);

        h.create(true, 0);
        QCOMPARE(h.sourceBox()->itemText(0), QString("Demo database (DNA/RNA)"));
        h.sourceBox()->setCurrentIndex(0);
        h.typeQuery("MAIN");
        h.pressGo();
        QVERIFY(h.waitForListing(20000));
        QVERIFY2(h.modal().messages().empty(),
                 qPrintable(h.modal().messages().empty() ? "" : h.modal().messages()[0].text));
        QCOMPARE(h.list()->topLevelItemCount(), 100);
        QVERIFY(h.status()->text().startsWith("150 objects were found. The first object # is 1"));

        h.command(6974); // next page
        QVERIFY(h.waitForListing(20000));
        QCOMPARE(h.list()->topLevelItemCount(), 50);
        QVERIFY(h.status()->text().contains("The first object # is 101"));

        // Sort by name, descending: the last record comes first.
        QHeaderView* header = h.list()->header();
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + 4, header->height() / 2));
        QCOMPARE(h.list()->topLevelItem(0)->text(0), QString("seq149"));

        QTreeWidget* list = h.list();
        const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::qWait(20);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(int(h.host()->picks.size()), 1);
        const auto& pick = h.host()->picks[0];
        QVERIFY(pick.gotUrl);
        QVERIFY2(QString::fromStdString(pick.url).endsWith("&command=fetch"), pick.url.c_str());

        // The host hands the URL to the handler as the panel would, split at blanks.
        const QByteArray bytes = store.request(QString::fromStdString(pick.url));
        QVERIFY2(bytes.contains(QByteArray("ACGT").repeated(159)), bytes.left(200).constData());

        // The server's subsets came with the listing.
        QVERIFY(h.waitForSubsets(1, 10000) || h.queryBox()->findText("Favourites") >= 0);

        // A new panel starts at the same place and lists its subsets at once.
        h.destroy();
        h.create(true, 0);
        QCOMPARE(h.sourceBox()->currentText(), QString("Demo database (DNA/RNA)"));
        QVERIFY(QTest::qWaitFor([&] { return h.queryBox()->findText("Favourites") >= 0; }, 20000));
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
