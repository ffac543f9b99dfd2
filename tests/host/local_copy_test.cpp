// The "cc: to Local DB" workflow of molbench-demo end to end, in the demo's own world (the real
// handlers, a private store, NCBI's stand-in). Browsing NCBI in the demo (pick, search, page,
// sort, open) runs in the same world.

#include "copy_box.h"
#include "demo_world.h"
#include "local_copier.h"
#include "object_view.h"
#include "record.h"
#include "save_dialog.h"
#include "settings_values.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <fstream>

using namespace DemoTest;
using namespace PanelDriving;
using LocalCopy = DemoWorld;

// Browsing NCBI in the example host as a user does: the pick lists nothing and opens no box (the
// subset box offers the filters; the host's status bar says how to search until a search lists),
// a recorded search lists, pages through the Go-to dialog's page size and Next page, sorts, and the row opened
// through the panel's open verb is shown.
TEST_F(LocalCopy, anNcbiSourceIsPickedQuietlyAndItsSearchPagesSortsAndOpens)
{
    ASSERT_TRUE(chooseSource(panel(), kNcbiPubmed, kWaitMs));
    EXPECT_TRUE(modal.messages().empty());
    EXPECT_EQ(status(), "NCBI PubMed (Citation) lists records only for a search: type words, an "
                        "author or an accession in the Filter box (Alt+F) and press Go.");
    QLabel* statusLine = panel().control<QLabel>(Dbscout::IDC_STATUS);
    EXPECT_EQ(statusLine->text(), "0 objects were found. The first object # is 0, page size: 100");
    QComboBox* queries = panel().control<QComboBox>(Dbscout::IDC_QUERY);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return queries->count() > 0 && queries->itemText(0) == "Reviews"; }, kWaitMs));

    ASSERT_TRUE(list(panel(), "biopython", kWaitMs));
    EXPECT_EQ(rowNames(panel()).size(), 5);
    EXPECT_EQ(status(), "") << "the advice to search outlived the search";
    auto* rows = panel().control<QTreeWidget>(Dbscout::IDC_LIST);
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

    // The first open copies, into the "From NCBI" subset it makes, under the accession. Where
    // it went stays in sight after the next message.
    ASSERT_EQ(openAndCopy(kPaperRow, 1), true) << status().toStdString();
    EXPECT_EQ(status(), "Copied PMID:12230038 to Demo database (Citation), subset From NCBI.");
    window->statusBar()->showMessage("Something else");
    EXPECT_EQ(window->lastCopyLine()->text(), "Copied PMID:12230038 to Demo database (Citation), "
                                              "subset From NCBI.");
    EXPECT_TRUE(window->lastCopyLine()->isVisible());
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
                           " bytes\t" + kOrigin + "\n    Copied from " + kOrigin + "\n"),
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
    EXPECT_EQ(questions()[0]->text, "An object named PMID:12230038 already exists in Demo database "
                                    "(Citation), subset From NCBI. Replace it with a new revision?");
    EXPECT_EQ(status(), "Not copied: PMID:12230038 exists in Demo database (Citation), subset "
                        "From NCBI already.");
    EXPECT_EQ(log(id).find("revision 2"), std::string::npos);

    // Yes replaces it with a new revision that says where it came from, still one object.
    modal.setMessageBoxAnswer(QMessageBox::Yes);
    ASSERT_EQ(openAndCopy(kPaperRow, 2), true);
    EXPECT_EQ(questions().size(), 2u);
    EXPECT_EQ(status(), "Copied PMID:12230038 to Demo database (Citation), subset From NCBI as a "
                        "new revision.");
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
    // The dialog lists the place the copies go to now, and Esc closes it wherever the focus is.
    for (const auto& [source, subset] : {std::pair{"Demo database (Citation)", "From NCBI"},
                                         std::pair{kDemoCitations, "Lab papers"}}) {
        window->chooseCopyPlace();
        QPointer<SaveDialog> dialog = window->saveDialog();
        ASSERT_TRUE(dialog);
        PanelFrame& place = *dialog->frame();
        ASSERT_TRUE(waitUntilBuilt(place, kWaitMs));
        // The name is each record's own; only the data source and the subset are chosen.
        EXPECT_FALSE(place.control<QLineEdit>(Dbscout::IDC_NAME)->isEnabled());
        QLabel* listed = place.control<QLabel>(Dbscout::IDC_STATUS);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return listed->text().contains("were found"); }, kWaitMs));
        EXPECT_EQ(place.control<QComboBox>(Dbscout::IDC_DATASOURCE)->currentText(), source);
        EXPECT_EQ(place.control<QComboBox>(Dbscout::IDC_QUERY)->currentText(), subset);
        EXPECT_TRUE(modal.messages().empty());
        if (std::string(subset) == "From NCBI") { // the first time: choose another
            ASSERT_TRUE(list(place, "Lab papers", kWaitMs));
            QTest::mouseClick(
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                Qt::LeftButton);
            continue;
        }
        QTest::keyClick(place.control<QTreeWidget>(Dbscout::IDC_LIST), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, kWaitMs));
    }
    EXPECT_EQ(status(), "Copies go to Demo database, subset Lab papers.");
    EXPECT_NE(readText(settings.get(), "CopyPlace").value_or("").find("?query=Lab%20papers&"),
              std::string::npos);

    listNcbiPapers();
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_EQ(openAndCopy(kPaperRow, 1), true) << status().toStdString();
    EXPECT_EQ(citations("Lab%20papers").rows.size(), 1u);
    EXPECT_TRUE(citationSubsets() == (std::vector<std::string>{"MAIN", "Lab papers"}));
}

// The comment says where the record came from as people write it, not as the panel escaped the
// name in its URL; the archive name keeps the address as it was.
TEST_F(LocalCopy, theCommentNamesTheRecordAsPeopleWriteIt)
{
    const QByteArray bytes = QByteArray::fromStdString(NcbiTest::fixture("GU949562.1.gb"));
    const std::string origin = "ncbi://entrez/nucleotide/dnarna/GU949562%2e1";
    modal.answerNextDialog([](QDialog* dialog) { return dialog->exec(); });
    QSignalSpy copied(window.get(), &DemoWindow::copyFinished);
    window->copier()->copy(bytes, readObjectRecord(bytes), origin);
    ASSERT_TRUE(!copied.isEmpty() || copied.wait(kWaitMs));
    ASSERT_TRUE(copied.first().first().toBool()) << status().toStdString();
    EXPECT_TRUE(status().endsWith(" to Demo database (DNA/RNA), subset From NCBI."))
        << status().toStdString();
    const Dbscout::ResultPage copies = listed("dnarna", "From%20NCBI");
    ASSERT_EQ(copies.rows.size(), 1u);
    const std::string revisions = log(copies.rows[0].id);
    EXPECT_TRUE(revisions.ends_with("    Copied from ncbi://entrez/nucleotide/dnarna/GU949562.1\n"))
        << revisions;
    EXPECT_EQ(MolbTest::runSql("demo", "SELECT arcname FROM revisions"), origin + "\n");
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
         "Not copied: the subsets of Demo database (Citation), subset From NCBI could not be "
         "listed: Wrong user name or password.",
         ""},
        {"molb://local/nostore/citation/x?query=From%20NCBI&command=put", 0,
         "Not copied: the subsets of molb://local/nostore/citation/, subset From NCBI could not "
         "be listed: There is no database \"nostore\" on this computer (create it with "
         "molb-admin init nostore).",
         ""},
        // Without a subset nothing is asked before the save, which the store refuses.
        {"molb://local/demo/citation/x?query=MAIN&user=demo&pass=wrong&command=put", 1,
         "PMID:12230038 was not copied to Demo database (Citation).",
         "Wrong user name or password."},
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
    QLineEdit* name = place.control<QLineEdit>(Dbscout::IDC_NAME);
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
