// The data-source box: configured sources filtered and split by kind, the typed-address history,
// the place last opened, a panel started on an object URL, and the options in object URLs.

#include "panel_harness.h"

#include "settings/options.h"
#include "settings/reg_containers.h"

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

// Takes the panel down (it saves its own history when it goes) and stores the data-source
// history the next panel starts with.
void writeSourceHistory(PanelHarness& h, const std::vector<std::string>& addresses)
{
    h.destroy();
    Dbscout::RegKey history;
    QCOMPARE(history.create(h.settingsKey(), "DSHISTORY"), ERROR_SUCCESS);
    for (size_t i = 0; i < addresses.size(); ++i)
        setRegString(history.get(), std::to_string(i).c_str(), addresses[i]);
    setRegNumber(history.get(), "size", DWORD(addresses.size()));
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
        configureSource(
            "lab", "Lab", fixtureAddress("panel-dnarna"),
            {{"DnaRna", 1}, {"Protein", 1}, {"Blast", 1}, {"Citation", 1}, {"Analysis", 1}});
        restart(h);
        QCOMPARE(itemTexts(h.sourceBox()),
                 QStringList({"Lab (DNA/RNA)", "Lab (Protein)", "Lab (Blast)", "Lab (Citation)",
                              "Lab (Analyses)"}));
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

    // The last place's flag is taken as stored (any value but 0 names a configured source) and
    // written back so; the address keeps its terminating NUL. Every typed address read is
    // offered, ten are kept.
    void theLastPlaceAndTheTypedAddressesAreKeptAsStored()
    {
        PanelHarness h;
        configureSource("lab", "Lab", "molb://x/lab", {{"DnaRna", 1}});
        std::vector<std::string> typed;
        for (int i = 0; i < 12; ++i)
            typed.push_back("molb://x/typed" + std::to_string(i));
        writeSourceHistory(h, typed);
        Dbscout::RegKey lastOpen;
        QCOMPARE(lastOpen.create(h.settingsKey(), "LAST_OPEN"), ERROR_SUCCESS);
        setRegNumber(lastOpen.get(), "LAST_OPEN_DS", 2);
        setRegString(lastOpen.get(), "LAST_OPEN_URL", "molb://x/lab/dnarna/");
        h.create(true, 1);
        QCOMPARE(h.sourceBox()->count(), 13);
        QCOMPARE(h.sourceBox()->currentText(), QString("Lab"));
        h.destroy();

        DWORD fromList = 0;
        std::string address;
        QVERIFY(Dbscout::readDword(lastOpen.get(), "LAST_OPEN_DS", fromList)); // REG_DWORD
        QCOMPARE(fromList, DWORD(2));
        QVERIFY(Dbscout::readString(lastOpen.get(), "LAST_OPEN_URL", address)); // REG_SZ, NUL
        QCOMPARE(address, std::string("molb://x/lab/dnarna/"));
        Dbscout::RegKey history;
        QCOMPARE(history.open(h.settingsKey(), "DSHISTORY"), ERROR_SUCCESS);
        Dbscout::CRegStrList kept;
        QVERIFY(kept.Load(history.get()));
        QCOMPARE(kept.size(), size_t(10));
        QCOMPARE(kept.front(), typed.front());
    }

    void aHistoryAddressEqualToAConfiguredEntryIsNotAddedTwice()
    {
        PanelHarness h;
        configureSource("lab", "molb://x/typed", "molb://x/lab", {{"DnaRna", 1}});
        writeSourceHistory(h, {"molb://x/typed", "molb://x/other"});
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

    // Chosen from the lists of their boxes, as a user does: a source lists from the start with
    // the query emptied, a subset lists from the start.
    void choosingASourceOrASubsetInItsBoxListsIt()
    {
        PanelHarness h;
        configureSource("lab", "Lab", fixtureAddress("panel-citation"), {{"Citation", 1}});
        configureSource("seq", "Sequences", fixtureAddress("panel-dnarna"), {{"DnaRna", 1}});
        restart(h);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Sequences (DNA/RNA)", "Lab (Citation)"}));
        h.typeQuery("left over");
        h.pick(h.sourceBox(), "Sequences (DNA/RNA)");
        QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls(true).size() == 1; }));
        QVERIFY(h.waitForListing());
        const QString sequences = QString::fromStdString(fixtureAddress("panel-dnarna"));
        QCOMPARE(h.handlerCalls(true).last(), sequences + "/dnarna/?start=0&page=100");

        QTest::keyClick(h.list(), Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(h.waitForListing());
        h.pick(h.queryBox(), "Plasmids");
        QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls(true).size() == 3; }));
        QVERIFY(h.waitForListing());
        QCOMPARE(h.handlerCalls(true).last(),
                 sequences + "/dnarna/?start=0&page=100&query=Plasmids");
    }

    // nFlag is 1 for a configured source whose flag B is 0, else 0 (a typed address too).
    void getUrlFlagIsTheInverseOfTheSourcesFlagB()
    {
        PanelHarness h;
        configureSource("a", "Open to the host", fixtureAddress("panel-dnarna"),
                        {{"DnaRna", 1}, {"FlagB", 0}});
        configureSource("b", "Closed to the host", fixtureAddress("panel-dnarna"),
                        {{"DnaRna", 1}, {"FlagB", 1}});
        restart(h, true, 1);
        // Entries 0 and 1, then (-1) the same address typed.
        for (const auto& [index, expected] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-1, 0}}) {
            if (index < 0)
                QVERIFY(h.go(fixtureAddress("panel-dnarna")));
            else
                QVERIFY(!listSource(h, index).isEmpty());
            h.nameBox()->setText("dna:1");
            std::string url;
            int flag = -1;
            QVERIFY2(h.dbscout()->GetURL(url, flag) && flag == expected,
                     qPrintable(QString("entry %1: flag %2").arg(index).arg(flag)));
        }
    }

    void withoutTheHostIconTheBoxHasNoSourcesNorHistory()
    {
        PanelHarness h;
        configureSource("lab", "Lab", "molb://x/lab", {{"DnaRna", 1}});
        writeSourceHistory(h, {"molb://x/typed"});
        h.create(true, 1);
        QCOMPARE(itemTexts(h.sourceBox()), QStringList({"Lab", "molb://x/typed"}));
        h.destroy();
        QCOMPARE(RegDeleteTreeA(HKEY_CURRENT_USER,
                                "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\"
                                "DefaultIcon"),
                 ERROR_SUCCESS);
        h.create(true, 1);
        QCOMPARE(h.sourceBox()->count(), 0);
        QVERIFY(h.modal().messages().empty()); // not reported
    }

    // With bLockName the name the host gave stays: clicks do not write the box and double
    // clicks tell the host nothing. Without an initial string there is nothing to lock.
    void aLockedNameStaysAsTheHostGaveIt()
    {
        PanelHarness h;
        h.destroy();
        h.create(true, 0, "molb://test/fixture=panel-dnarna&/db/my%20seq?query=Primers", 1);
        QVERIFY(h.waitForListing());
        QVERIFY(!h.nameBox()->isEnabled());
        h.clickRow(0);
        QTest::keyClick(h.list(), Qt::Key_Down);
        h.doubleClickRow(0);
        QCOMPARE(h.nameBox()->text(), QString("my seq"));
        QVERIFY(h.host()->picks.empty());

        h.destroy();
        h.create(true, 0, "", 1);
        QVERIFY(h.nameBox()->isEnabled());
    }

    // With bInitialIsName the string is the object's name, unparsed, and the panel lists the
    // place it was at last.
    void anInitialNameStartsAtTheRememberedPlace()
    {
        PanelHarness h;
        QVERIFY(h.go(fixtureAddress("panel-dnarna"), "Plasmids"));
        h.destroy();
        h.create(true, 0, "molb://looks/like?a=url", 0, 1);
        QCOMPARE(h.nameBox()->text(), QString("molb://looks/like?a=url"));
        QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls(true).size() == 2; }));
        QVERIFY(h.waitForListing());
        QCOMPARE(h.sourceBox()->currentText(),
                 QString::fromStdString(fixtureAddress("panel-dnarna")));
        QVERIFY2(h.handlerCalls(true).last().startsWith(
                     QString::fromStdString(fixtureAddress("panel-dnarna")) + "?start=0&page=100"),
                 qPrintable(h.handlerCalls(true).last()));
        QCOMPARE(h.columnTexts().size(), 5);
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

    // Open mode with "check out when opened": a pick tells the host first and asks for the
    // check-out after; a row the user holds is picked without one; GetURL leaves the request as
    // it is; every listing that ends, a failed one too, asks for it again.
    void theCheckOutRequestFollowsPicksAndListings()
    {
        PanelHarness h;
        h.destroy();
        Dbscout::PanelOptions options;
        options.CHECKOUT_ON_OPEN = 1;
        QVERIFY(Dbscout::SaveOptions(h.settingsKey(), options));
        const std::map<std::string, std::string> login = {{"User", "tester"}, {"Password", "pw"}};
        configureSource("a", "Lab", fixtureAddress("panel-dnarna"),
                        {{"DnaRna", 1}, {"HasLogin", 1}}, login);
        configureSource("b", "Failing", "molb://test/listing-page=error&fixture=panel-dnarna&/db",
                        {{"DnaRna", 1}, {"HasLogin", 1}}, login);
        h.create(true, 1);
        const auto url = [&] {
            std::string got;
            int flag = 0;
            h.dbscout()->GetURL(got, flag);
            return got;
        };
        const auto asksCheckOut = [](const std::string& got) {
            return got.find("&command=fetch&command=co") != std::string::npos;
        };
        QVERIFY(!listSource(h, 0).isEmpty()); // Lab: version 3
        h.nameBox()->setText("dna:1");
        QVERIFY(asksCheckOut(url()));
        QCOMPARE(url(), url());

        h.list()->setFocus();
        QTest::keyClick(h.list(), Qt::Key_Return); // told while asked for, then no more
        QVERIFY(!url().empty() && !asksCheckOut(url()));
        h.doubleClickRow(0);
        QCOMPARE(int(h.host()->picks.size()), 2);
        QVERIFY(asksCheckOut(h.host()->picks[0].url));
        QVERIFY(!asksCheckOut(h.host()->picks[1].url));
        QVERIFY(asksCheckOut(url()));

        h.doubleClickRow(2); // held by this user
        h.doubleClickRow(3); // held by another: nothing
        QCOMPARE(int(h.host()->picks.size()), 3);
        QVERIFY(h.host()->picks[2].url.find("/dna:3?") != std::string::npos);
        QVERIFY(!asksCheckOut(url()));

        QVERIFY(!listSource(h, 1).isEmpty()); // Failing
        QCOMPARE(int(h.modal().messages().size()), 1);
        QVERIFY2(asksCheckOut(url()), url().c_str());
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
