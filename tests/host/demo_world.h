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
#include "support/scripted_modal.h"

#include <dbscout/registry.h>

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;

// Texts of the window and the panel in gtest's messages, as they read.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace DemoTest {

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
    explicit ScriptedQuestions(DbscoutTest::ScriptedModal& modal);
    ~ScriptedQuestions() override;
    bool askYesNo(QWidget* owner, const QString& caption, const QString& text) override;

private:
    DbscoutTest::ScriptedModal& m_modal;
};

// Writes texts and flags (1) under a key of HKEY_CURRENT_USER.
void setValues(const std::string& key,
               const std::vector<std::pair<const char*, std::string>>& texts,
               const std::vector<const char*>& flags = {});

class DemoWorld : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // A new demo window on the demo's settings key, its panel built and its box shown.
    void startWindow();

    PanelFrame& panel() { return *window->panelFrame(); }
    QCheckBox* box();
    QString status() const;

    // The "biopython" search at the NCBI stand-in, with the paper's row picked.
    void listNcbiPapers();
    void open(int row);
    // Opens the row and waits for its copy; nothing when no copy ended.
    std::optional<bool> openAndCopy(int row, int savingDialogs);
    std::vector<const DbscoutTest::ShownMessage*> questions() const;

    // The store's objects of a kind in subset (MAIN for all), as the demo user lists them.
    Dbscout::ResultPage listed(const std::string& kind, const std::string& subset = "MAIN");
    Dbscout::ResultPage citations(const std::string& subset = "MAIN");
    std::vector<std::string> citationSubsets();
    std::string idOf(const std::string& name);
    std::string fetch(const std::string& id);
    std::string log(const std::string& id);
    // The record as the stand-in serves it: the MEDLINE file's one record.
    static std::string servedRecord();

    DbscoutTest::TestEnv env;
    DbscoutTest::ScriptedModal modal;
    ScriptedQuestions answers{modal};
    std::unique_ptr<NcbiTest::EutilsStandIn> standIn;
    Dbscout::RegKey settings;
    std::unique_ptr<DemoWindow> window;
};

} // namespace DemoTest
