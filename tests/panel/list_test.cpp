// The result list after a real listing: sorting by column, the layout remembered per data
// source, clicks and double clicks, the host's notification and the object URL.

#include "panel_harness.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using namespace DbscoutTest;

namespace {

const QStringList kByName = {"M13mp18", "fragment", "lambda", "pBR322", "pUC19"};
const QStringList kByNameDown = {"pUC19", "pBR322", "lambda", "fragment", "M13mp18"};

bool listDna(PanelHarness& h)
{
    return h.go(fixtureAddress("panel-dnarna"));
}

} // namespace

class ListTest : public QObject
{
    Q_OBJECT

private slots:
    void columnClicksSortAsTextToggleAndHoldOnTheNextPage()
    {
        PanelHarness h;
        h.clickHeader(0); // the placeholder list does not sort
        QCOMPARE(h.list()->topLevelItemCount(), 1);
        QVERIFY(h.list()->headerItem()->icon(0).isNull());

        QVERIFY(listDna(h));
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
        QVERIFY(listDna(h));
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

        if (part == "width") { // read back from the store, under the data source's entry
            Dbscout::RegKey entry;
            QCOMPARE(entry.open(h.settingsKey(), "SCOUTPANE_UI\\TableSettings\\QUERY_HISTORY\\0"),
                     ERROR_SUCCESS);
            DWORD type = 0, stored = 0, size = sizeof stored;
            QCOMPARE(RegQueryValueExA(entry.get(), "1", nullptr, &type,
                                      reinterpret_cast<BYTE*>(&stored), &size),
                     ERROR_SUCCESS);
            QCOMPARE(int(stored), width);
        }
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

    void selectionNamesIdsAndTellsTheHost()
    {
        PanelHarness h;
        h.clickRow(0); // the placeholder
        QCOMPARE(h.nameBox()->text(), QString());
        QVERIFY(listDna(h));
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
        QVERIFY(listDna(h));
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
        std::string again;
        QCOMPARE(h.dbscout()->GetURL(again, flag), TRUE);
        QCOMPARE(again, url);
    }
};

QTEST_MAIN(ListTest)
#include "list_test.moc"
