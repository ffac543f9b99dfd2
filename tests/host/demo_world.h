#pragma once
// The example host in a world of its own: the demo window with its panel, the real molb handler
// on a private store with a user, and the ncbi handler against the E-utilities stand-in serving
// NCBI's recorded answers. The panel's Saving dialog runs for real through the scripted modal
// seam, which also answers the demo's questions.

#include "demo_window.h"
#include "ncbi_harness.h"
#include "panel_driving.h"
#include "panel_frame.h"
#include "questions.h"
#include "settings_values.h"
#include "support/handler_registration.h"
#include "support/scripted_modal.h"

#include <dbscout/registry.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Texts of the window and the panel in gtest's messages, as they read.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace DemoTest {

using namespace PanelDriving;

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

inline void setValues(const std::string& key,
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

class DemoWorld : public ::testing::Test
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
                  {"DnaRna", "Citation", "Visible1", "Visible2", "CanOpen", "CanSave", "HasLogin",
                   "FlagA"});
        setValues(suite + "\\sources\\NcbiPubmed",
                  {{"Name", "NCBI PubMed"}, {"Address", "ncbi://entrez/pubmed/"}},
                  {"Citation", "Visible1", "Visible2", "CanOpen", "FlagA"});
        setValues(suite + "\\sources\\NcbiNucleotide",
                  {{"Name", "NCBI Nucleotide"}, {"Address", "ncbi://entrez/nucleotide/"}},
                  {"DnaRna", "Visible1", "Visible2", "CanOpen", "FlagA"});
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
    QCheckBox* box() { return panel().control<QCheckBox>(Dbscout::IDC_LOCAL_COPY); }

    // The "biopython" search at the NCBI stand-in, with the paper's row picked.
    void listNcbiPapers()
    {
        ASSERT_TRUE(chooseSource(panel(), kNcbiPubmed, kWaitMs));
        ASSERT_TRUE(list(panel(), "biopython", kWaitMs));
        ASSERT_EQ(rowNames(panel()).size(), 5);
        clickRow(panel(), kPaperRow, false);
        QLineEdit* name = panel().control<QLineEdit>(Dbscout::IDC_NAME);
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

    // The store's objects of a kind in subset (MAIN for all), as the demo user lists them.
    Dbscout::ResultPage listed(const std::string& kind, const std::string& subset = "MAIN")
    {
        return MolbTest::parseResultPage(MolbTest::runHandler("molb://local/demo/" + kind +
                                                              "/?start=0&page=200&" + kLogin +
                                                              "&query=" + subset)
                                             .output);
    }
    Dbscout::ResultPage citations(const std::string& subset = "MAIN")
    {
        return listed("citation", subset);
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

} // namespace DemoTest
