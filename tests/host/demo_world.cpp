#include "demo_world.h"

#include "settings_values.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <cstdlib>

using namespace PanelDriving;

namespace DemoTest {

ScriptedQuestions::ScriptedQuestions(DbscoutTest::ScriptedModal& modal) : m_modal(modal)
{
    install(this);
}

ScriptedQuestions::~ScriptedQuestions()
{
    install(nullptr);
}

bool ScriptedQuestions::askYesNo(QWidget* owner, const QString& caption, const QString& text)
{
    return m_modal.messageBox(owner, QMessageBox::Question, caption, text,
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void setValues(const std::string& key,
               const std::vector<std::pair<const char*, std::string>>& texts,
               const std::vector<const char*>& flags)
{
    Dbscout::RegKey opened;
    ASSERT_EQ(opened.create(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS) << key;
    for (const auto& [name, text] : texts)
        ASSERT_TRUE(writeText(opened.get(), name, text)) << key << name;
    for (const char* flag : flags)
        ASSERT_TRUE(writeNumber(opened.get(), flag, 1)) << key << flag;
}

void DemoWorld::SetUp()
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
    const auto registerHandler = [](const char* scheme, const char* verb,
                                    const std::string& program) {
        setValues(std::string("Software\\Classes\\") + scheme + "\\shell\\" + verb + "\\command",
                  {{"", "\"" + program + "\" \"%1\""}});
    };
    for (const char* verb : {"dir", "put", "open"})
        registerHandler("molb", verb, MolbTest::handlerPath());
    for (const char* verb : {"dir", "open"})
        registerHandler("ncbi", verb, NcbiTest::handlerPath());
    standIn = std::make_unique<NcbiTest::EutilsStandIn>(env.file("standin"));
    setValues("Software\\Dbscout\\NCBI", {{"BaseAddress", standIn->baseAddress()}});

    ASSERT_EQ(settings.create(HKEY_CURRENT_USER, "Software\\Dbscout\\MolbenchDemo"), ERROR_SUCCESS);
    startWindow();
}

void DemoWorld::TearDown()
{
    window.reset();
    standIn.reset();
    unsetenv("XDG_CACHE_HOME");
}

void DemoWorld::startWindow()
{
    window = std::make_unique<DemoWindow>(settings.get());
    window->resize(1100, 700);
    window->show();
    ASSERT_TRUE(waitUntilBuilt(panel(), kWaitMs));
    // Shown by the demo once the panel has built it.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return box() && box()->isVisibleTo(window.get()); }, kWaitMs));
}

QCheckBox* DemoWorld::box()
{
    return panel().control<QCheckBox>(kLocalCopyBox);
}

QString DemoWorld::status() const
{
    return window->statusBar()->currentMessage();
}

void DemoWorld::listNcbiPapers()
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

void DemoWorld::open(int row)
{
    QSignalSpy shown(window.get(), &DemoWindow::objectShown);
    clickRow(panel(), row, true);
    ASSERT_TRUE(!shown.isEmpty() || shown.wait(kWaitMs));
}

std::optional<bool> DemoWorld::openAndCopy(int row, int savingDialogs)
{
    for (int i = 0; i < savingDialogs; ++i)
        modal.answerNextDialog([](QDialog* dialog) { return dialog->exec(); });
    QSignalSpy copied(window.get(), &DemoWindow::copyFinished);
    open(row);
    if (copied.isEmpty() && !copied.wait(kWaitMs))
        return std::nullopt;
    return copied.first().first().toBool();
}

std::vector<const DbscoutTest::ShownMessage*> DemoWorld::questions() const
{
    std::vector<const DbscoutTest::ShownMessage*> asked;
    for (const DbscoutTest::ShownMessage& message : modal.messages())
        if (message.icon == QMessageBox::Question)
            asked.push_back(&message);
    return asked;
}

Dbscout::ResultPage DemoWorld::listed(const std::string& kind, const std::string& subset)
{
    return MolbTest::parseResultPage(MolbTest::runHandler("molb://local/demo/" + kind +
                                                          "/?start=0&page=50&" + kLogin +
                                                          "&query=" + subset)
                                         .output);
}

Dbscout::ResultPage DemoWorld::citations(const std::string& subset)
{
    return listed("citation", subset);
}

std::vector<std::string> DemoWorld::citationSubsets()
{
    std::vector<std::string> names;
    for (const Dbscout::SubsetEntry& entry :
         MolbTest::parseResultPage(
             MolbTest::runHandler("molb://local/demo/citation/?" + std::string(kLogin)).output)
             .subsets)
        names.push_back(entry.name);
    return names;
}

std::string DemoWorld::idOf(const std::string& name)
{
    for (const Dbscout::ResultRow& row : citations().rows)
        if (row.name == name)
            return row.id;
    return {};
}

std::string DemoWorld::fetch(const std::string& id)
{
    return MolbTest::runHandler("molb://local/demo/citation/" + id + "?" + kLogin +
                                "&command=fetch")
        .output;
}

std::string DemoWorld::log(const std::string& id)
{
    return MolbTest::runAdmin({"log", "demo", id}).output;
}

std::string DemoWorld::servedRecord()
{
    return QByteArray::fromStdString(NcbiTest::fixture("pubmed_result1.txt"))
               .trimmed()
               .toStdString() +
           "\n";
}

} // namespace DemoTest
