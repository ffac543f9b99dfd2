// The result list after a real listing: sorting by column, the layout remembered per data
// source, clicks and double clicks, the host's notification and the object URL.

#include "panel_harness.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>

using DbscoutTest::fixtureAddress;
using DbscoutTest::PanelHarness;

namespace {

void clickHeader(QTreeWidget* list, int column)
{
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
}

QStringList columnTexts(QTreeWidget* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

QPoint rowCentre(QTreeWidget* list, int row)
{
    return list->visualItemRect(list->topLevelItem(row)).center();
}

void clickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rowCentre(list, row));
    QTest::qWait(20); // the name box follows once the view has updated its selection
}

void listDna(PanelHarness& h, const std::string& extra = {})
{
    h.typeSource(fixtureAddress("panel-dnarna", extra));
    h.pressGo();
    QVERIFY(h.waitForListing());
}

} // namespace

class ListTest : public QObject
{
    Q_OBJECT

private slots:
    void clickingThePlaceholderHeaderDoesNothing()
    {
        PanelHarness h;
        clickHeader(h.list(), 0);
        QCOMPARE(h.list()->topLevelItemCount(), 1);
        QVERIFY(h.list()->headerItem()->icon(0).isNull());
    }

    void columnClicksSortAsTextAndToggle()
    {
        PanelHarness h;
        listDna(h);
        QTreeWidget* list = h.list();
        clickHeader(list, 0);
        QCOMPARE(columnTexts(list, 0),
                 QStringList({"M13mp18", "fragment", "lambda", "pBR322", "pUC19"}));
        QVERIFY(!list->headerItem()->icon(0).isNull());
        clickHeader(list, 0);
        QCOMPARE(columnTexts(list, 0),
                 QStringList({"pUC19", "pBR322", "lambda", "fragment", "M13mp18"}));

        clickHeader(list, 2); // another column: ascending, as text ("10" before "9")
        QVERIFY(list->headerItem()->icon(0).isNull());
        QStringList lengths = columnTexts(list, 2);
        lengths.removeAll(QString()); // the short row compares equal to every other
        QCOMPARE(lengths, QStringList({"10", "2686", "7249", "9"}));
    }

    void theSortStaysInForceOnTheNextPage()
    {
        PanelHarness h;
        listDna(h);
        clickHeader(h.list(), 0);
        clickHeader(h.list(), 0); // descending
        h.command(6974);
        QVERIFY(h.waitForListing());
        QCOMPARE(columnTexts(h.list(), 0),
                 QStringList({"pUC19", "pBR322", "lambda", "fragment", "M13mp18"}));
    }

    void theLayoutOfADataSourceSurvivesANewPanel()
    {
        PanelHarness h;
        listDna(h);
        QTreeWidget* list = h.list();
        list->setColumnWidth(1, 177);
        list->header()->moveSection(2, 0); // Length shown first
        clickHeader(list, 1);
        h.destroy();

        // Read back from the store, then applied by a new panel's first listing.
        Dbscout::RegKey entry;
        QCOMPARE(entry.open(h.settingsKey(), "SCOUTPANE_UI\\TableSettings\\QUERY_HISTORY\\0"),
                 ERROR_SUCCESS);
        DWORD type = 0, width = 0, size = sizeof width;
        QCOMPARE(RegQueryValueExA(entry.get(), "1", nullptr, &type, reinterpret_cast<BYTE*>(&width),
                                  &size),
                 ERROR_SUCCESS);
        QCOMPARE(width, 177u);

        h.create();
        h.pressGo();
        QVERIFY(h.waitForListing());
        list = h.list();
        QCOMPARE(list->columnWidth(1), 177);
        QCOMPARE(list->header()->logicalIndex(0), 2);
        QStringList accessions = columnTexts(list, 1);
        accessions.removeAll(QString());
        QCOMPARE(accessions, QStringList({"J01749", "J02459", "L09137", "X02513"}));
    }

    // Layouts are written only when they differ from the last write: a change of any one part
    // alone must still count as a difference.
    void eachPartOfALayoutChangedAloneIsWritten_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("width") << "width";
        QTest::newRow("order") << "order";
        QTest::newRow("sort column") << "sort column";
        QTest::newRow("sort direction") << "sort direction";
    }
    void eachPartOfALayoutChangedAloneIsWritten()
    {
        QFETCH(QString, part);
        PanelHarness h;
        listDna(h);
        if (part == "sort direction")
            clickHeader(h.list(), 0); // ascending, written with the next listing
        h.pressGo();
        QVERIFY(h.waitForListing());
        QTreeWidget* list = h.list();
        const int width = list->columnWidth(1);
        if (part == "width")
            list->setColumnWidth(1, width + 23);
        else if (part == "order")
            list->header()->moveSection(2, 0);
        else
            clickHeader(list, 0); // ascending by name, or now descending
        h.destroy();

        h.create();
        h.pressGo();
        QVERIFY(h.waitForListing());
        list = h.list();
        if (part == "width") {
            QCOMPARE(list->columnWidth(1), width + 23);
        } else if (part == "order") {
            QCOMPARE(list->header()->logicalIndex(0), 2);
        } else {
            QStringList ascending({"M13mp18", "fragment", "lambda", "pBR322", "pUC19"});
            if (part == "sort direction")
                std::reverse(ascending.begin(), ascending.end());
            QCOMPARE(columnTexts(list, 0), ascending);
        }
    }

    void clicksWriteTheSelectedIdsIntoTheNameBox()
    {
        PanelHarness h;
        clickRow(h.list(), 0); // the placeholder
        QCOMPARE(h.nameBox()->text(), QString());
        listDna(h);
        clickRow(h.list(), 0);
        clickRow(h.list(), 2, Qt::ControlModifier);
        clickRow(h.list(), 4, Qt::ControlModifier);
        QCOMPARE(h.nameBox()->text(), QString("dna:1,dna:3,dna:5"));
    }

    void doubleClickTellsTheHostWhoAsksForTheUrl()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        listDna(h);
        QTreeWidget* list = h.list();
        clickRow(list, 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
        QCOMPARE(int(h.host()->picks.size()), 1);
        const auto& pick = h.host()->picks[0];
        QCOMPARE(pick.wParam, WPARAM(-1));
        QCOMPARE(pick.lParam, LPARAM(0));
        QVERIFY(pick.gotUrl);
        // The address's last segment becomes the object; the caption's subset is the query.
        QCOMPARE(pick.url, std::string("molb://test/fixture=panel-dnarna&/dna:1?query=Primers"
                                       "&command=fetch"));
        QCOMPARE(pick.name, std::string("dna:1"));

        // Held by another user: the host is not told.
        clickRow(list, 3);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 3));
        QCOMPARE(int(h.host()->picks.size()), 1);
    }

    void versionOnePagesNotifyWithoutLookingFurther()
    {
        PanelHarness h;
        h.typeSource(fixtureAddress("panel-protein-v1"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        clickRow(h.list(), 0);
        QTest::mouseDClick(h.list()->viewport(), Qt::LeftButton, {}, rowCentre(h.list(), 0));
        QCOMPARE(int(h.host()->picks.size()), 1); // held by "curator", yet picked at version 1
    }

    void enterInTheListNotifiesEvenWithoutASelection()
    {
        PanelHarness h;
        listDna(h);
        h.list()->setFocus();
        h.list()->clearSelection();
        QTest::keyClick(h.list(), Qt::Key_Return);
        QCOMPARE(int(h.host()->picks.size()), 1);
        QVERIFY(!h.host()->picks[0].gotUrl); // nothing named yet
    }

    void getUrlInSaveModeAndWithAnEmptyName()
    {
        PanelHarness h(false);
        listDna(h);
        std::string url = "kept";
        std::string name;
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
