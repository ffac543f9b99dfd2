// The data-source box: configured sources filtered and split by kind, the typed-address history,
// the place last opened, a panel started on an object URL, and the options in object URLs.

#include "panel_harness.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <map>

using namespace DbscoutTest;

namespace {

// A configured data source; flags not given are 1 for visibility and opening/saving, else 0.
void configureSource(const std::string& key, const std::string& name, const std::string& address,
                     std::map<std::string, DWORD> flags,
                     const std::map<std::string, std::string>& texts = {})
{
    Dbscout::RegKey source;
    QCOMPARE(
        source.create(
            HKEY_CURRENT_USER,
            ("Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources\\" + key).c_str()),
        ERROR_SUCCESS);
    setRegString(source.get(), "Name", name);
    setRegString(source.get(), "Address", address);
    for (const char* visible : {"Visible1", "Visible2", "CanOpen", "CanSave"})
        flags.emplace(visible, 1);
    for (const auto& [flag, value] : flags)
        setRegNumber(source.get(), flag.c_str(), value);
    for (const auto& [field, text] : texts)
        setRegString(source.get(), field.c_str(), text);
}

// A new panel, which reads the configuration at start.
void restart(PanelHarness& h, bool openMode = true, int dataType = 0, const char* initial = "")
{
    h.destroy();
    h.modal().clear();
    h.create(openMode, dataType, initial);
}

// Lists an entry of the source box and returns the last listing request.
QString listSource(PanelHarness& h, int index = 0)
{
    h.sourceBox()->setCurrentIndex(index);
    h.pressGo();
    const QStringList calls = h.waitForListing() ? h.handlerCalls(true) : QStringList();
    return calls.isEmpty() ? QString() : calls.last();
}

} // namespace

class DataSourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void sourcesAreSplitByKindFilteredByModeAndShownOnceForTheHostsKind()
    {
        PanelHarness h;
        const QString protein =
            QString::fromStdString(fixtureAddress("panel-dnarna") + "/protein/?start=0");
        configureSource("lab", "Lab", fixtureAddress("panel-dnarna"),
                        {{"DnaRna", 1}, {"Protein", 1}});
        restart(h);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Lab (DNA/RNA)", "Lab (Protein)"}));
        QVERIFY2(listSource(h, 1).startsWith(protein), qPrintable(h.handlerCalls().join('\n')));
        configureSource("lit", "Literature", "molb://x/lit", {{"Citation", 1}});
        restart(h, true, 2);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Lab"}));
        QVERIFY2(listSource(h).startsWith(protein), qPrintable(h.handlerCalls().join('\n')));

        configureSource("a", "Read only", "molb://x/a", {{"DnaRna", 1}, {"CanSave", 0}});
        configureSource("b", "Write only", "molb://x/b", {{"DnaRna", 1}, {"CanOpen", 0}});
        configureSource("c", "Hidden", "molb://x/c", {{"DnaRna", 1}, {"Visible2", 0}});
        restart(h, true, 1);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Read only", "Lab"}));
        restart(h, false, 1);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Write only", "Lab"}));
    }

    void theLastPlaceIsSelectedAtStart()
    {
        PanelHarness h;
        configureSource("lab", "Lab", fixtureAddress("panel-dnarna"), {{"DnaRna", 1}});
        restart(h, true, 1);
        h.typeQuery("Primers");
        QVERIFY(!listSource(h).isEmpty());
        restart(h, true, 1);
        QCOMPARE(h.sourceBox()->currentText(), QString("Lab"));
        QVERIFY(itemTexts(h.queryBox()).contains("Primers")); // its queries are offered again
    }

    void aHistoryAddressEqualToAConfiguredEntryIsNotAddedTwice()
    {
        PanelHarness h;
        configureSource("lab", "molb://x/typed", "molb://x/lab", {{"DnaRna", 1}});
        h.destroy(); // a panel saves its own history when it goes
        Dbscout::RegKey history;
        QCOMPARE(history.create(h.settingsKey(), "DSHISTORY"), ERROR_SUCCESS);
        setRegString(history.get(), "0", "molb://x/typed");
        setRegString(history.get(), "1", "molb://x/other");
        setRegNumber(history.get(), "size", 2);
        h.create(true, 1);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"molb://x/typed", "molb://x/other"}));
    }

    void withoutASettingsKeyTheBoxStartsEmpty()
    {
        PanelHarness h(true, 0, "");
        configureSource("lab", "Lab", "molb://x/lab", {{"DnaRna", 1}});
        restart(h);
        QCOMPARE(h.sourceBox()->count(), 0);
    }

    // A typed address whose listing fails stays the place of every later listing: Reload, Go,
    // a subset chosen in its box, the page commands and Go-to, whatever entry was selected
    // before, and none of them carries that entry's login.
    void aTypedAddressThatFailsKeepsBeingUsed()
    {
        PanelHarness h;
        configureSource("lab", "Lab", fixtureAddress("panel-dnarna"),
                        {{"DnaRna", 1}, {"HasLogin", 1}},
                        {{"User", "curator"}, {"Password", "s3cret"}});
        restart(h, true, 1);
        const QString configured = listSource(h);
        QVERIFY2(configured.contains("&user=curator&pass=s3cret"), qPrintable(configured));

        const QString typed = "molb://test/listing-page=error&fixture=panel-dnarna&/db";
        QVERIFY(h.go(typed.toStdString()));
        QCOMPARE(int(h.modal().messages().size()), 1); // "Subset Gamma does not exist."
        QVERIFY(h.waitForSubsets(3));                  // the typed address's subsets did answer

        const std::pair<const char*, std::function<void()>> actions[] = {
            {"F5", [&] { QTest::keyClick(h.list(), Qt::Key_F5); }},
            {"Go", [&] { h.pressGo(); }},
            {"subset", [&] { h.pick(h.queryBox(), "Plasmids"); }},
            {"next page",
             [&] { QTest::keyClick(h.list(), Qt::Key_PageDown, Qt::ControlModifier); }},
            {"previous page",
             [&] { QTest::keyClick(h.list(), Qt::Key_PageUp, Qt::ControlModifier); }},
            {"go to",
             [&] {
                 h.modal().answerNextDialog([](QDialog* dialog) {
                     dialog->findChild<QPushButton*>("1")->click();
                     return dialog->result();
                 });
                 QTest::keyClick(h.list(), Qt::Key_G, Qt::ControlModifier);
             }},
        };
        for (const auto& [name, action] : actions) {
            const qsizetype before = h.handlerCalls(true).size();
            action();
            QVERIFY2(h.waitForListing(), name);
            const QStringList listings = h.handlerCalls(true).mid(before);
            QVERIFY2(!listings.isEmpty(), name);
            for (const QString& listing : listings) {
                QVERIFY2(listing.startsWith(typed + "?"), qPrintable(name + (": " + listing)));
                QVERIFY2(!listing.contains("curator"), qPrintable(name + (": " + listing)));
            }
            QCOMPARE(h.sourceBox()->currentText(), typed);
        }
    }

    void aPanelStartedOnAnObjectUrlSelectsItsSource()
    {
        PanelHarness h;
        restart(h, true, 0,
                "molb://curator:pw@test/fixture=panel-dnarna&/my%20seq?query=Primers&x=1");
        QCOMPARE(h.nameBox()->text(), QString("my seq"));
        QCOMPARE(h.sourceBox()->currentText(),
                 QString("molb://test/fixture=panel-dnarna&/my%20seq?query=Primers&x=1"));
        QVERIFY(h.waitForListing());
        const QString listing = h.handlerCalls(true).last();
        QVERIFY2(listing.contains("&user=curator&pass=pw&query=Primers"), qPrintable(listing));
    }

    void checkRequestsArmedByTheOptionsTravelInObjectUrls()
    {
        PanelHarness h;
        h.destroy(); // a panel saves its own options when it goes
        Dbscout::RegKey options;
        QCOMPARE(options.create(h.settingsKey(), "SCOUTPANE_OPTIONS_KEY"), ERROR_SUCCESS);
        for (const char* name : {"CHECKIN_ON_SAVE", "CHECKOUT_ON_OPEN", "CHECKIN_ON_SAVE_DESC",
                                 "CHECKOUT_ON_OPEN_DESC", "ON_SAVE_LEAVE_ON_ERROR"})
            setRegNumber(options.get(), name, 1);
        setRegNumber(options.get(), "ON_SAVE_RECALC_DESC", 0);

        const struct
        {
            bool openMode;
            const char* name;
            const char* url;
        } cases[] = {
            {true, "dna:1", "dna:1?query=Primers&command=fetch&command=co&descendant=co"},
            {false, "new",
             "new?query=Primers&command=put&pdmode=reconstruct&pderror=disconnect"
             "&command=ci&descendant=ci"},
        };
        for (const auto& c : cases) {
            restart(h, c.openMode);
            QVERIFY(h.go(fixtureAddress("panel-dnarna")));
            h.nameBox()->setText(c.name);
            std::string url;
            int flag = 0;
            QCOMPARE(h.dbscout()->GetURL(url, flag), TRUE);
            QCOMPARE(url, "molb://test/fixture=panel-dnarna&/" + std::string(c.url));
        }
    }
};

QTEST_MAIN(DataSourcesTest)
#include "data_sources_test.moc"
