// The "cc: to Local DB" workflow of molbench-demo end to end: the demo window with its panel, the
// real molb handler on a private store with a user, and the ncbi handler against the
// E-utilities stand-in serving NCBI's recorded answers. The panel's Saving dialog runs for real
// through the scripted modal seam, which also answers the demo's questions. Browsing NCBI in the
// demo (pick, search, page, sort, open) runs in the same world.

#include "copy_box.h"
#include "demo_window.h"
#include "local_copier.h"
#include "ncbi_harness.h"
#include "object_view.h"
#include "panel_driving.h"
#include "panel_frame.h"
#include "questions.h"
#include "save_dialog.h"
#include "settings_values.h"
#include "support/handler_registration.h"
#include "support/scripted_modal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <fstream>

using namespace PanelDriving;

namespace {

constexpr int kWaitMs = 30000;
constexpr const char* kLogin = "user=demo&pass=demo";
constexpr const char* kNcbiPubmed = "NCBI PubMed (Citation)";
constexpr const char* kDemoCitations = "Demo database (Citation)";
// The "biopython" search lists five papers; the last one's record is pubmed_result1.txt.
constexpr int kPaperRow = 4;
constexpr const char* kPaper = "PMID:12230038";
constexpr const char* kOrigin = "ncbi://entrez/pubmed/citation/12230038";

// The demo's questions, answered and recorded by the same script as the panel's boxes.
class ScriptedQuestions final : public Questions
{
public:
    explicit ScriptedQuestions(DbscoutTest::ScriptedModal& modal) : m_modal(modal)
    {
        install(this);
    }
    ~ScriptedQuestions() override { install(nullptr); }

    bool askYesNo(QWidget* owner, const QString& caption, const QString& text) override
    {
        return m_modal.messageBox(owner, QMessageBox::Question, caption, text,
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

private:
    DbscoutTest::ScriptedModal& m_modal;
};

void setValues(const std::string& key,
               const std::vector<std::pair<const char*, std::string>>& texts,
               const std::vector<const char*>& flags = {})
{
    Dbscout::RegKey opened;
    ASSERT_EQ(opened.create(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS) << key;
    for (const auto& [name, text] : texts)
        ASSERT_TRUE(writeText(opened.get(), name, text)) << key << name;
    for (const char* flag : flags)
        ASSERT_TRUE(writeNumber(opened.get(), flag, 1)) << key << flag;
}

class LocalCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CACHE_HOME", env.file("cache").c_str(), 1);
        ASSERT_EQ(MolbTest::runAdmin({"init", "demo"}).exitCode, 0);
        ASSERT_EQ(MolbTest::runAdmin({"user", "add", "demo", "demo"}, "demo\n").exitCode, 0);
        const std::string suite = "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight";
        setValues(suite + "\\DefaultIcon", {{"", "/nonexistent/icon.png,0"}});
        setValues(suite + "\\sources\\Demo",
                  {{"Name", "Demo database"},
                   {"Address", "molb://local/demo/"},
                   {"User", "demo"},
                   {"Password", "demo"}},
                  {"DnaRna", "Citation", "Visible1", "Visible2", "CanOpen", "CanSave", "HasLogin"});
        setValues(suite + "\\sources\\NcbiPubmed",
                  {{"Name", "NCBI PubMed"}, {"Address", "ncbi://entrez/pubmed/"}},
                  {"Citation", "Visible1", "Visible2", "CanOpen"});
        for (const char* verb : {"dir", "put", "open"})
            ASSERT_TRUE(DbscoutTest::registerHandler("molb", verb, MolbTest::handlerPath()));
        for (const char* verb : {"dir", "open"})
            ASSERT_TRUE(DbscoutTest::registerHandler("ncbi", verb, NcbiTest::handlerPath()));
        standIn = std::make_unique<NcbiTest::EutilsStandIn>(env.file("standin"));
        setValues("Software\\Dbscout\\NCBI", {{"BaseAddress", standIn->baseAddress()}});

        ASSERT_EQ(settings.create(HKEY_CURRENT_USER, "Software\\Dbscout\\MolbenchDemo"),
                  ERROR_SUCCESS);
        startWindow();
    }

    void TearDown() override
    {
        window.reset();
        standIn.reset();
        unsetenv("XDG_CACHE_HOME");
    }

    void startWindow()
    {
        window = std::make_unique<DemoWindow>(settings.get());
        window->resize(1100, 700);
        window->show();
        ASSERT_TRUE(waitUntilBuilt(panel(), kWaitMs));
        // Shown by the demo once the panel has built it.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return box() && box()->isVisibleTo(window.get()); }, kWaitMs));
    }

    PanelFrame& panel() { return *window->panelFrame(); }
    QCheckBox* box() { return panel().control<QCheckBox>(kLocalCopyBox); }

    // The "biopython" search at the NCBI stand-in, with the paper's row picked.
    void listNcbiPapers()
    {
        ASSERT_TRUE(chooseSource(panel(), kNcbiPubmed, kWaitMs));
        ASSERT_TRUE(list(panel(), "biopython", kWaitMs));
        ASSERT_EQ(rowNames(panel()).size(), 5);
        clickRow(panel(), kPaperRow, false);
        QLineEdit* name = panel().control<QLineEdit>(kNameBox);
        ASSERT_TRUE(QTest::qWaitFor([&] { return name->text() == "12230038"; }, kWaitMs));
        // Picking the source may have said something; from here on nothing else is expected.
        modal.clear();
    }

    void open(int row)
    {
        QSignalSpy shown(window.get(), &DemoWindow::objectShown);
        clickRow(panel(), row, true);
        ASSERT_TRUE(!shown.isEmpty() || shown.wait(kWaitMs));
    }

    // Opens the row and waits for its copy; nothing when no copy ended.
    std::optional<bool> openAndCopy(int row, int savingDialogs)
    {
        for (int i = 0; i < savingDialogs; ++i)
            modal.answerNextDialog([](QDialog* dialog) { return dialog->exec(); });
        QSignalSpy copied(window.get(), &DemoWindow::copyFinished);
        open(row);
        if (copied.isEmpty() && !copied.wait(kWaitMs))
            return std::nullopt;
        return copied.first().first().toBool();
    }

    QString status() const { return window->statusBar()->currentMessage(); }

    std::vector<const DbscoutTest::ShownMessage*> questions() const
    {
        std::vector<const DbscoutTest::ShownMessage*> asked;
        for (const DbscoutTest::ShownMessage& message : modal.messages())
            if (message.icon == QMessageBox::Question)
                asked.push_back(&message);
        return asked;
    }

    // The store's citations in subset (MAIN for all), as the demo user lists them.
    Dbscout::ResultPage citations(const std::string& subset = "MAIN")
    {
        return MolbTest::parseResultPage(
            MolbTest::runHandler("molb://local/demo/citation/?start=0&page=50&" +
                                 std::string(kLogin) + "&query=" + subset)
                .output);
    }
    std::vector<std::string> citationSubsets()
    {
        std::vector<std::string> names;
        for (const Dbscout::SubsetEntry& entry :
             MolbTest::parseResultPage(
                 MolbTest::runHandler("molb://local/demo/citation/?" + std::string(kLogin)).output)
                 .subsets)
            names.push_back(entry.name);
        return names;
    }
    std::string idOf(const std::string& name)
    {
        for (const Dbscout::ResultRow& row : citations().rows)
            if (row.name == name)
                return row.id;
        return {};
    }
    std::string fetch(const std::string& id)
    {
        return MolbTest::runHandler("molb://local/demo/citation/" + id + "?" + kLogin +
                                    "&command=fetch")
            .output;
    }
    std::string log(const std::string& id)
    {
        return MolbTest::runAdmin({"log", "demo", id}).output;
    }
    // The record as the stand-in serves it: the MEDLINE file's one record.
    static std::string servedRecord()
    {
        return QByteArray::fromStdString(NcbiTest::fixture("pubmed_result1.txt"))
                   .trimmed()
                   .toStdString() +
               "\n";
    }

    DbscoutTest::TestEnv env;
    DbscoutTest::ScriptedModal modal;
    ScriptedQuestions answers{modal};
    std::unique_ptr<NcbiTest::EutilsStandIn> standIn;
    Dbscout::RegKey settings;
    std::unique_ptr<DemoWindow> window;
};

} // namespace

// Browsing NCBI in the example host as a user does: the pick lists nothing and says nothing (the
// subset box offers the filters), a recorded search lists, pages through the Go-to dialog's page
// size and Next page, sorts, and the row opened through the panel's open verb is shown.
TEST_F(LocalCopy, anNcbiSourceIsPickedQuietlyAndItsSearchPagesSortsAndOpens)
{
    ASSERT_TRUE(chooseSource(panel(), kNcbiPubmed, kWaitMs));
    EXPECT_TRUE(modal.messages().empty());
    QLabel* statusLine = panel().control<QLabel>(kStatusLine);
    EXPECT_EQ(statusLine->text(), "0 objects were found. The first object # is 0, page size: 100");
    QComboBox* queries = panel().control<QComboBox>(kQueryBox);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return queries->count() > 0 && queries->itemText(0) == "Reviews"; }, kWaitMs));

    ASSERT_TRUE(list(panel(), "biopython", kWaitMs));
    EXPECT_EQ(rowNames(panel()).size(), 5);
    auto* rows = panel().control<QTreeWidget>(kList);
    modal.answerNextDialog([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>("6907")->setText("2");
        dialog->findChild<QPushButton*>("1")->click();
        return dialog->result();
    });
    QTest::keyClick(rows, Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return statusLine->text().endsWith("page size: 2") && rows->topLevelItemCount() == 2;
        },
        kWaitMs))
        << statusLine->text().toStdString();
    QTest::keyClick(rows, Qt::Key_PageDown, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return statusLine->text() ==
                   "5 objects were found. The first object # is 3, page size: 2";
        },
        kWaitMs))
        << statusLine->text().toStdString();
    const QStringList page = rowNames(panel());
    ASSERT_EQ(page.size(), 2);

    // By first author, then the other way round.
    QHeaderView* header = rows->header();
    const QPoint firstColumn(header->sectionViewportPosition(0) + 8, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstColumn);
    const QStringList sorted = rowNames(panel());
    QStringList ascending = page;
    std::sort(ascending.begin(), ascending.end());
    EXPECT_TRUE(sorted == ascending || sorted == QStringList(ascending.rbegin(), ascending.rend()));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstColumn);
    EXPECT_EQ(rowNames(panel()), QStringList(sorted.rbegin(), sorted.rend()));

    const QString pmid = rows->topLevelItem(0)->text(4);
    open(0);
    EXPECT_TRUE(window->objectView()->summary().startsWith("citation PMID " + pmid))
        << window->objectView()->summary().toStdString();
    EXPECT_TRUE(window->shownBytes().startsWith("PMID- " + pmid.toLatin1() + "\n"));
    EXPECT_TRUE(modal.messages().empty());
}

TEST_F(LocalCopy, theBoxIsOfferedForNcbiOnlyAndKeepsTheUsersState)
{
    EXPECT_TRUE(box()->isVisibleTo(window.get()));
    EXPECT_FALSE(box()->isChecked());
    for (const auto& [source, offered] : {std::pair{kNcbiPubmed, true},
                                          {kDemoCitations, false},
                                          {"Demo database (DNA/RNA)", false},
                                          {kNcbiPubmed, true}}) {
        ASSERT_TRUE(chooseSource(panel(), source, kWaitMs));
        EXPECT_EQ(window->copyBox()->isOffered(), offered) << source;
    }
    QTest::mouseClick(box(), Qt::LeftButton);
    EXPECT_EQ(readNumber(settings.get(), "CopyToLocalDB"), 1u);

    // A new panel (another kind asked for) and a new window show the box as the user left it.
    window->setDataType(14);
    ASSERT_TRUE(waitUntilBuilt(panel(), kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return box() && box()->isChecked(); }, kWaitMs));
    QTest::mouseClick(box(), Qt::LeftButton);
    startWindow();
    EXPECT_FALSE(box()->isChecked());
    EXPECT_FALSE(window->copyBox()->isChecked());
}

TEST_F(LocalCopy, aCheckedBoxCopiesOnceAndAsksBeforeANewRevision)
{
    listNcbiPapers();
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(box()->isChecked());

    // The first open copies, into the "From NCBI" subset it makes, under the accession.
    ASSERT_EQ(openAndCopy(kPaperRow, 1), true) << status().toStdString();
    EXPECT_EQ(status(), "Copied PMID:12230038 to molb://local/demo/, subset From NCBI.");
    EXPECT_EQ(window->shownBytes().toStdString(), servedRecord());
    const std::vector<std::string> subsets = citationSubsets();
    EXPECT_NE(std::find(subsets.begin(), subsets.end(), "From NCBI"), subsets.end());
    const Dbscout::ResultPage fromNcbi = citations("From%20NCBI");
    ASSERT_EQ(fromNcbi.rows.size(), 1u);
    EXPECT_EQ(fromNcbi.rows[0].name, kPaper);
    const std::string id = fromNcbi.rows[0].id;
    EXPECT_EQ(fetch(id), servedRecord()); // byte for byte
    EXPECT_NE(log(id).find("revision 1\t"), std::string::npos);
    EXPECT_NE(log(id).find(std::string("\tdemo\t") + std::to_string(servedRecord().size()) +
                           " bytes\n    Copied from " + kOrigin + "\n"),
              std::string::npos)
        << log(id);
    EXPECT_EQ(MolbTest::runSql("demo", "SELECT arcname FROM revisions"),
              std::string(kOrigin) + "\n");
    EXPECT_EQ(modal.dialogsShown(), 1); // the Saving dialog
    EXPECT_TRUE(modal.messages().empty());

    // The second open finds the name taken and asks; No writes nothing.
    modal.setMessageBoxAnswer(QMessageBox::No);
    ASSERT_EQ(openAndCopy(kPaperRow, 1), false);
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0]->caption, "Copy to Local DB");
    EXPECT_EQ(questions()[0]->text, "An object named PMID:12230038 already exists in "
                                    "molb://local/demo/citation/. Replace it with a new revision?");
    EXPECT_EQ(status(), "Not copied: PMID:12230038 exists in molb://local/demo/, subset From NCBI "
                        "already.");
    EXPECT_EQ(log(id).find("revision 2"), std::string::npos);

    // Yes replaces it with a new revision that says where it came from, still one object.
    modal.setMessageBoxAnswer(QMessageBox::Yes);
    ASSERT_EQ(openAndCopy(kPaperRow, 2), true);
    EXPECT_EQ(questions().size(), 2u);
    EXPECT_EQ(status(), "Copied PMID:12230038 to molb://local/demo/, subset From NCBI as a new "
                        "revision.");
    const std::string revisions = log(id);
    const std::string comment = "    Copied from " + std::string(kOrigin) + "\n";
    EXPECT_NE(revisions.find("revision 2\t"), std::string::npos);
    EXPECT_TRUE(revisions.ends_with(comment)) << revisions;
    EXPECT_NE(revisions.find(comment), revisions.rfind(comment)) << revisions;
    EXPECT_EQ(citations("From%20NCBI").rows.size(), 1u);
    EXPECT_EQ(fetch(id), servedRecord());
    EXPECT_EQ(modal.dialogsShown(), 1 + 1 + 2);
    for (const DbscoutTest::ShownMessage& message : modal.messages())
        EXPECT_EQ(message.icon, QMessageBox::Question) << message.text.toStdString();
}

TEST_F(LocalCopy, nothingIsWrittenWithTheBoxUncheckedOrForALocalObject)
{
    listNcbiPapers();
    ASSERT_FALSE(box()->isChecked());
    QSignalSpy copied(window.get(), &DemoWindow::copyFinished);
    const auto expectNoCopy = [&] {
        QTest::qWait(100); // a copy would start from the event loop after the record shows
        EXPECT_FALSE(window->copier()->isBusy());
        EXPECT_TRUE(copied.isEmpty());
        EXPECT_EQ(modal.dialogsShown(), 0);
        EXPECT_TRUE(citationSubsets() == std::vector<std::string>{"MAIN"});
    };
    open(kPaperRow);
    EXPECT_EQ(window->shownBytes().toStdString(), servedRecord());
    expectNoCopy();
    EXPECT_TRUE(citations().rows.empty());

    // Checked, but the object is in the local store already: the box is off there.
    QTest::mouseClick(box(), Qt::LeftButton);
    const std::string file = env.file("paper.txt");
    std::ofstream(file, std::ios::binary) << servedRecord();
    ASSERT_EQ(MolbTest::runAdmin({"import", "demo", "--owner", "demo", file}).exitCode, 0);
    ASSERT_TRUE(chooseSource(panel(), kDemoCitations, kWaitMs));
    ASSERT_TRUE(list(panel(), "MAIN", kWaitMs));
    ASSERT_EQ(rowNames(panel()), QStringList{kPaper});
    EXPECT_TRUE(box()->isChecked());
    EXPECT_FALSE(box()->isEnabled());
    open(0);
    expectNoCopy();
    EXPECT_EQ(log(idOf(kPaper)).find("revision 2"), std::string::npos);
}

TEST_F(LocalCopy, copiesGoWhereTheUserChose)
{
    ASSERT_EQ(MolbTest::runAdmin(
                  {"subset", "add", "demo", "Lab papers", "--kind", "citation", "--owner", "demo"})
                  .exitCode,
              0);
    window->chooseCopyPlace();
    SaveDialog* dialog = window->saveDialog();
    ASSERT_TRUE(dialog);
    PanelFrame& place = *dialog->frame();
    ASSERT_TRUE(waitUntilBuilt(place, kWaitMs));
    // The name is each record's own; only the data source and the subset are chosen.
    EXPECT_FALSE(place.control<QLineEdit>(kNameBox)->isEnabled());
    ASSERT_TRUE(chooseSource(place, kDemoCitations, kWaitMs));
    ASSERT_TRUE(list(place, "Lab papers", kWaitMs));
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                      Qt::LeftButton);
    EXPECT_EQ(status(), "Copies go to molb://local/demo/, subset Lab papers.");
    EXPECT_NE(readText(settings.get(), "CopyPlace").value_or("").find("?query=Lab%20papers&"),
              std::string::npos);

    listNcbiPapers();
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_EQ(openAndCopy(kPaperRow, 1), true) << status().toStdString();
    EXPECT_EQ(citations("Lab%20papers").rows.size(), 1u);
    EXPECT_TRUE(citationSubsets() == (std::vector<std::string>{"MAIN", "Lab papers"}));
}

TEST_F(LocalCopy, aCopyThatCannotBeMadeSaysWhyAndWritesNothing)
{
    listNcbiPapers();
    QTest::mouseClick(box(), Qt::LeftButton);
    const struct
    {
        const char* place;
        int savingDialogs;
        QString status;
        QString error; // the panel's error box, if the save got that far
    } cases[] = {
        {"molb://local/demo/citation/x?query=From%20NCBI&user=demo&pass=wrong&command=put", 0,
         "Not copied: the subsets of molb://local/demo/, subset From NCBI could not be listed: "
         "Wrong user name or password.",
         ""},
        {"molb://local/nostore/citation/x?query=From%20NCBI&command=put", 0,
         "Not copied: the subsets of molb://local/nostore/, subset From NCBI could not be "
         "listed: There is no database \"nostore\" on this computer (create it with molb-admin "
         "init nostore).",
         ""},
        // Without a subset nothing is asked before the save, which the store refuses.
        {"molb://local/demo/citation/x?query=MAIN&user=demo&pass=wrong&command=put", 1,
         "PMID:12230038 was not copied to molb://local/demo/.", "Wrong user name or password."},
    };
    for (const auto& c : cases) {
        window->copier()->choosePlace(*CopyPlace::fromSaveUrl(c.place));
        modal.clear();
        ASSERT_EQ(openAndCopy(kPaperRow, c.savingDialogs), false) << c.place;
        EXPECT_EQ(status(), c.status) << c.place;
        EXPECT_EQ(modal.dialogsShown(), c.savingDialogs) << c.place;
        ASSERT_EQ(modal.messages().size(), c.error.isEmpty() ? 0u : 1u) << c.place;
        if (!c.error.isEmpty()) {
            EXPECT_EQ(modal.messages()[0].text, c.error) << c.place;
        }
    }
    EXPECT_TRUE(citations().rows.empty());
    EXPECT_TRUE(citationSubsets() == std::vector<std::string>{"MAIN"});
}

TEST_F(LocalCopy, anNcbiRecordSavesWithFileSaveToDatabaseSayingWhereItCameFrom)
{
    listNcbiPapers();
    open(kPaperRow);
    QSignalSpy saved(window.get(), &DemoWindow::saveFinished);
    window->saveShownObject();
    SaveDialog* dialog = window->saveDialog();
    ASSERT_TRUE(dialog);
    PanelFrame& place = *dialog->frame();
    ASSERT_TRUE(waitUntilBuilt(place, kWaitMs));
    ASSERT_TRUE(chooseSource(place, "Demo database", kWaitMs)); // the citation kind was asked for
    ASSERT_TRUE(list(place, "MAIN", kWaitMs));
    QLineEdit* name = place.control<QLineEdit>(kNameBox);
    EXPECT_EQ(name->text(), kPaper);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Lab copy");
    modal.answerNextDialog([](QDialog* saving) { return saving->exec(); });
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                      Qt::LeftButton);
    ASSERT_TRUE(!saved.isEmpty() || saved.wait(kWaitMs));
    EXPECT_TRUE(saved.first().first().toBool()) << status().toStdString();
    const std::string id = idOf("Lab copy");
    EXPECT_EQ(fetch(id), servedRecord());
    EXPECT_NE(log(id).find("    Copied from " + std::string(kOrigin) + "\n"), std::string::npos);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
