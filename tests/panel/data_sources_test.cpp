// The data-source box: configured sources filtered and split by kind, the typed-address history,
// the place last opened, a panel started on an object URL, and the options in object URLs.

#include "panel_harness.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <map>

using DbscoutTest::PanelHarness;
using DbscoutTest::fixtureAddress;

namespace {

constexpr const char* kSources = "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources";

void setString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

void setNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// A configured data source; flags not given are 1 for visibility and opening/saving, else 0.
void configureSource(const std::string& key, const std::string& name, const std::string& address,
                     std::map<std::string, DWORD> flags)
{
    Dbscout::RegKey source;
    QCOMPARE(source.create(HKEY_CURRENT_USER, (std::string(kSources) + "\\" + key).c_str()),
             ERROR_SUCCESS);
    setString(source.get(), "Name", name);
    setString(source.get(), "Address", address);
    for (const char* visible : {"Visible1", "Visible2", "CanOpen", "CanSave"})
        flags.emplace(visible, 1);
    for (const auto& [flag, value] : flags)
        setNumber(source.get(), flag.c_str(), value);
}

QStringList entries(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Panels that read the configuration at start: the harness's store is set up first, then a
// panel is made anew.
void restart(PanelHarness& h, bool openMode = true, int dataType = 0, const char* initial = "")
{
    h.destroy();
    h.modal().clear();
    h.create(openMode, dataType, initial);
}

} // namespace

class DataSourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void aSourceOfTwoKindsShowsOncePerKind()
    {
        PanelHarness h;
        configureSource("lab", "Lab", fixtureAddress("panel-dnarna"), {{"DnaRna", 1}, {"Protein", 1}});
        restart(h);
        QCOMPARE(entries(h.sourceBox()), QStringList({"Lab (DNA/RNA)", "Lab (Protein)"}));

        h.sourceBox()->setCurrentIndex(1);
        h.pressGo();
        QVERIFY(h.waitForListing());
        QVERIFY2(h.listingCalls().last().startsWith(
                     QString::fromStdString(fixtureAddress("panel-dnarna") + "/protein/?start=0")),
                 qPrintable(h.listingCalls().last()));
    }

    void aKindOfTheHostShowsTheSourceOnceWithItsPath()
    {
        PanelHarness h;
        configureSource("lab", "Lab", fixtureAddress("panel-dnarna") + "/", {{"DnaRna", 1}, {"Protein", 1}});
        configureSource("lit", "Literature", "molb://x/lit", {{"Citation", 1}});
        restart(h, true, 2);
        QCOMPARE(entries(h.sourceBox()), QStringList({"Lab"}));
        h.sourceBox()->setCurrentIndex(0);
        h.pressGo();
        QVERIFY(h.waitForListing());
        QVERIFY(h.listingCalls().last().startsWith(
            QString::fromStdString(fixtureAddress("panel-dnarna") + "/protein/?start=0")));
    }

    void modesHideSourcesTheyMayNotUse()
    {
        PanelHarness h;
        configureSource("a", "Read only", "molb://x/a", {{"DnaRna", 1}, {"CanSave", 0}});
        configureSource("b", "Write only", "molb://x/b", {{"DnaRna", 1}, {"CanOpen", 0}});
        configureSource("c", "Hidden", "molb://x/c", {{"DnaRna", 1}, {"Visible2", 0}});
        restart(h, true, 1);
        QCOMPARE(entries(h.sourceBox()), QStringList({"Read only"}));
        restart(h, false, 1);
        QCOMPARE(entries(h.sourceBox()), QStringList({"Write only"}));
    }

    void theLastPlaceIsSelectedAtStart()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        configureSource("lab", "Lab", address, {{"DnaRna", 1}});
        restart(h, true, 1);
        h.sourceBox()->setCurrentIndex(0);
        h.typeQuery("Primers");
        h.pressGo();
        QVERIFY(h.waitForListing());
        restart(h, true, 1);
        QCOMPARE(h.sourceBox()->currentText(), QString("Lab"));
        Dbscout::RegKey lastOpen;
        QCOMPARE(lastOpen.open(h.settingsKey(), "LAST_OPEN"), ERROR_SUCCESS);
        DWORD fromList = 0, size = sizeof fromList, type = 0;
        QCOMPARE(RegQueryValueExA(lastOpen.get(), "LAST_OPEN_DS", nullptr, &type,
                                  reinterpret_cast<BYTE*>(&fromList), &size),
                 ERROR_SUCCESS);
        QCOMPARE(fromList, 1u);
        QVERIFY(entries(h.queryBox()).contains("Primers")); // its queries are offered again
    }

    void aHistoryAddressEqualToAConfiguredEntryIsNotAddedTwice()
    {
        PanelHarness h;
        configureSource("lab", "molb://x/typed", "molb://x/lab", {{"DnaRna", 1}});
        h.destroy(); // a panel saves its own history when it goes
        Dbscout::RegKey history;
        QCOMPARE(history.create(h.settingsKey(), "DSHISTORY"), ERROR_SUCCESS);
        setString(history.get(), "0", "molb://x/typed");
        setString(history.get(), "1", "molb://x/other");
        setNumber(history.get(), "size", 2);
        h.create(true, 1);
        QCOMPARE(entries(h.sourceBox()), QStringList({"molb://x/typed", "molb://x/other"}));
    }

    void withoutASettingsKeyTheBoxStartsEmpty()
    {
        PanelHarness h(true, 0, "");
        configureSource("lab", "Lab", "molb://x/lab", {{"DnaRna", 1}});
        restart(h);
        QCOMPARE(h.sourceBox()->count(), 0);
    }

    void aPanelStartedOnAnObjectUrlSelectsItsSource()
    {
        PanelHarness h;
        const std::string address = fixtureAddress("panel-dnarna");
        const std::string initial = "molb://curator:pw@test/fixture=panel-dnarna&/my%20seq?query=Primers&x=1";
        restart(h, true, 0, initial.c_str());
        QCOMPARE(h.nameBox()->text(), QString("my seq"));
        QCOMPARE(h.sourceBox()->currentText(),
                 QString("molb://test/fixture=panel-dnarna&/my%20seq?query=Primers&x=1"));
        QVERIFY(h.waitForListing());
        const QString listing = h.listingCalls().last();
        QVERIFY2(listing.contains("&user=curator&pass=pw&query=Primers"), qPrintable(listing));
    }

    void optionsTravelInObjectUrls()
    {
        PanelHarness h;
        h.destroy(); // a panel saves its own options when it goes
        Dbscout::RegKey options;
        QCOMPARE(options.create(h.settingsKey(), "SCOUTPANE_OPTIONS_KEY"), ERROR_SUCCESS);
        for (const char* name : {"CHECKIN_ON_SAVE", "CHECKOUT_ON_OPEN", "CHECKIN_ON_SAVE_DESC",
                                 "CHECKOUT_ON_OPEN_DESC"})
            setNumber(options.get(), name, 1);
        setNumber(options.get(), "ON_SAVE_RECALC_DESC", 0);
        setNumber(options.get(), "ON_SAVE_LEAVE_ON_ERROR", 1);

        h.create(true);
        h.typeSource(fixtureAddress("panel-dnarna"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        h.nameBox()->setText("dna:1");
        std::string url;
        int flag = 0;
        QCOMPARE(h.dbscout()->GetURL(url, flag), TRUE);
        QCOMPARE(url, std::string("molb://test/fixture=panel-dnarna&/dna:1?query=Primers"
                                  "&command=fetch&command=co&descendant=co"));

        restart(h, false);
        h.typeSource(fixtureAddress("panel-dnarna"));
        h.pressGo();
        QVERIFY(h.waitForListing());
        h.nameBox()->setText("new");
        QCOMPARE(h.dbscout()->GetURL(url, flag), TRUE);
        QCOMPARE(url, std::string("molb://test/fixture=panel-dnarna&/new?query=Primers&command=put"
                                  "&pdmode=reconstruct&pderror=disconnect&command=ci&descendant=ci"));
    }
};

QTEST_MAIN(DataSourcesTest)
#include "data_sources_test.moc"
