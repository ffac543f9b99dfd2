// Many records at once in the example host: a multi-selection of NCBI rows opens every record
// from few handler runs and, with "cc: to Local DB" checked, copies each; a record NCBI leaves
// out of its answer is named, and can be tried again. The demo store's multi-selection opens
// each of its objects.

#include "batch_dialog.h"
#include "batch_saver.h"
#include "copy_place.h"
#include "demo_world.h"
#include "object_view.h"
#include "opened_records.h"
#include "record_batch.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <fstream>

using namespace DemoTest;
using namespace PanelDriving;

namespace {

constexpr const char* kNcbiNucleotide = "NCBI Nucleotide (DNA/RNA)";

class Batch : public DemoWorld
{
protected:
    // The "synthetic" search of NCBI Nucleotide, pages of count rows.
    void listSynthetic(int count)
    {
        ASSERT_TRUE(chooseSource(panel(), kNcbiNucleotide, kWaitMs));
        ASSERT_TRUE(list(panel(), "synthetic", kWaitMs));
        modal.answerNextDialog([count](QDialog* dialog) {
            dialog->findChild<QLineEdit*>("6907")->setText(QString::number(count));
            dialog->findChild<QPushButton*>("1")->click();
            return dialog->result();
        });
        QTest::keyClick(panel().control<QTreeWidget>(Dbscout::IDC_LIST), Qt::Key_G,
                        Qt::ControlModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rowNames(panel()).size() == count; }, kWaitMs))
            << shown(panel()).toStdString();
        modal.clear();
    }

    // Selects the rows first to last and waits for the name box to list them.
    void select(int first, int last)
    {
        selectRows(panel(), first, last);
        QLineEdit* name = panel().control<QLineEdit>(Dbscout::IDC_NAME);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return name->text().count(',') == last - first; }, kWaitMs))
            << name->text().toStdString();
    }

    // Opens the selected rows with Enter, as the user does, and waits until every record has
    // its outcome.
    void openSelection()
    {
        QSignalSpy ended(window.get(), &DemoWindow::batchFinished);
        QTest::keyClick(panel().control<QTreeWidget>(Dbscout::IDC_LIST), Qt::Key_Return);
        ASSERT_TRUE(!ended.isEmpty() || ended.wait(4 * kWaitMs));
    }

    size_t efetches() const
    {
        size_t count = 0;
        for (const NcbiTest::Arrival& arrival : standIn->arrivals())
            count += arrival.request.find("efetch.fcgi") != std::string::npos;
        return count;
    }
};

} // namespace

TEST_F(Batch, oneHundredTwentyRecordsAreCopiedAndTheOneNcbiLeftOutIsNamedAndRetried)
{
    listSynthetic(120);
    QTest::mouseClick(box(), Qt::LeftButton);
    select(0, 119);
    const QStringList ids = panel().control<QLineEdit>(Dbscout::IDC_NAME)->text().split(',');
    ASSERT_EQ(ids.size(), 120);
    const QString missing = ids[57];
    standIn->plan({"withhold " + missing.toStdString()});
    const size_t before = efetches();

    openSelection();
    EXPECT_EQ(efetches() - before, 1u); // one handler run, one request
    EXPECT_EQ(modal.dialogsShown(), 0); // no Saving dialog: the batch's own shows the progress
    BatchDialog* dialog = window->batchDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->progressText(), "120 records: 119 copied, 1 failed.");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == window->batch()->summary(); }, kWaitMs))
        << status().toStdString();
    for (int i = 0; i < 120; ++i) {
        const BatchItem& item = window->batch()->items()[size_t(i)];
        ASSERT_EQ(item.id, ids[i]);
        EXPECT_EQ(RecordBatch::stateText(item.state), i == 57 ? "failed" : "copied") << i;
        EXPECT_EQ(dialog->outcomes()->topLevelItem(i)->text(1), RecordBatch::stateText(item.state));
    }
    EXPECT_TRUE(window->batch()->items()[57].why.startsWith("the answer to the batch left it out"))
        << window->batch()->items()[57].why.toStdString();
    EXPECT_EQ(listed("dnarna", "From%20NCBI").rows.size(), 119u);
    EXPECT_TRUE(modal.messages().empty());

    // Every record opened is in the view, in the order asked; the user moves between them.
    OpenedRecords* opened = window->openedRecords();
    ASSERT_EQ(opened->count(), 119);
    EXPECT_EQ(opened->currentIndex(), 0);
    EXPECT_EQ(opened->current()->name, ids[0].section('.', 0, 0));
    QTest::mouseClick(opened->nextButton(), Qt::LeftButton);
    EXPECT_EQ(opened->current()->name, ids[1].section('.', 0, 0));
    EXPECT_TRUE(window->objectView()->summary().contains(ids[1].section('.', 0, 0)));
    EXPECT_EQ(window->shownBytes(), opened->current()->bytes);
    EXPECT_FALSE(opened->names()->findText(missing.section('.', 0, 0)) >= 0);

    // A copy is the record as NCBI serves it alone, byte for byte, and says where it came from.
    const std::string alone = NcbiTest::runNcbi("ncbi://entrez/nucleotide/dnarna/" +
                                                ids[1].toStdString() + "?command=fetch")
                                  .output;
    EXPECT_EQ(opened->current()->bytes.toStdString(), alone);
    int found = 0;
    for (const Dbscout::ResultRow& row : listed("dnarna", "From%20NCBI").rows) {
        if (row.name != ids[1].section('.', 0, 0).toStdString())
            continue;
        ++found;
        EXPECT_EQ(MolbTest::runHandler("molb://local/demo/dnarna/" + row.id + "?" + kLogin +
                                       "&command=fetch")
                      .output,
                  alone);
        EXPECT_NE(
            log(row.id).find("Copied from ncbi://entrez/nucleotide/dnarna/" + ids[1].toStdString()),
            std::string::npos);
    }
    EXPECT_EQ(found, 1);

    // Retry Failed asks NCBI again for the one left out, which it now answers.
    ASSERT_TRUE(dialog->retryButton()->isEnabled());
    QSignalSpy ended(window.get(), &DemoWindow::batchFinished);
    QTest::mouseClick(dialog->retryButton(), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(4 * kWaitMs));
    EXPECT_EQ(dialog->progressText(), "120 records: 120 copied.");
    EXPECT_FALSE(dialog->retryButton()->isEnabled());
    EXPECT_EQ(listed("dnarna", "From%20NCBI").rows.size(), 120u);
    EXPECT_EQ(opened->count(), 120);
}

// Stopping a batch: Cancel Batch before the copies start cancels them all, and Retry Failed
// copies them. A second batch of the same records asks once whether to replace, and the answer
// holds for the batch. Cancel Batch while a run of copies is being saved: the records stored
// are copied, the others cancelled, and nothing is half there.
TEST_F(Batch, aBatchIsCancelledAndRetriedAndAsksOnceBeforeReplacing)
{
    listSynthetic(6);
    QTest::mouseClick(box(), Qt::LeftButton);
    select(0, 2);
    // Clicks Cancel Batch once when() holds, after delay.
    const auto cancelOnce = [&](const std::function<bool()>& when, int delay = 0) {
        auto* watch = new QObject(window.get());
        QObject::connect(
            window->batch(), &RecordBatch::itemChanged, watch, [&, watch, when, delay](size_t) {
                if (!when())
                    return;
                watch->deleteLater();
                QTimer::singleShot(delay, window.get(), [&] {
                    QTest::mouseClick(window->batchDialog()->cancelButton(), Qt::LeftButton);
                });
            });
    };
    // As soon as the first record is opened, before its copy run starts.
    cancelOnce([&] { return window->batch()->items()[0].state == BatchItem::State::Opened; });
    openSelection();
    EXPECT_EQ(window->batch()->summary(), "3 records: 3 cancelled.");
    EXPECT_EQ(window->batch()->items()[1].why, "opened; cancelled before it was copied");
    EXPECT_TRUE(listed("dnarna", "From%20NCBI").rows.empty());
    QSignalSpy ended(window.get(), &DemoWindow::batchFinished);
    QTest::mouseClick(window->batchDialog()->retryButton(), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(4 * kWaitMs));
    EXPECT_EQ(window->batch()->summary(), "3 records: 3 copied.");
    EXPECT_EQ(window->openedRecords()->count(), 3); // each record once

    select(0, 5);
    modal.setMessageBoxAnswer(QMessageBox::No);
    openSelection();
    EXPECT_EQ(window->batch()->summary(), "6 records: 3 copied, 3 skipped.");
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_TRUE(questions()[0]->text.endsWith(
        " already exists in Demo database (DNA/RNA), subset From NCBI. Replace it with a new "
        "revision? The answer holds for every other record of this batch "
        "that exists there already."))
        << questions()[0]->text.toStdString();
    EXPECT_EQ(window->batch()->items()[0].why.toStdString(),
              "Not copied: " + window->batch()->items()[0].id.section('.', 0, 0).toStdString() +
                  " exists in Demo database (DNA/RNA), subset From NCBI already.");
    modal.clear();
    modal.setMessageBoxAnswer(QMessageBox::Yes);
    openSelection();
    EXPECT_EQ(window->batch()->summary(), "6 records: 6 replaced.");
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(modal.dialogsShown(), 0);

    // Cancel while the copies are saved (its moment depends on the machine's speed): told
    // apart record by record, never half there.
    listSynthetic(60);
    select(0, 59);
    cancelOnce(
        [&] {
            return std::all_of(
                window->batch()->items().begin(), window->batch()->items().end(),
                [](const BatchItem& item) { return item.state != BatchItem::State::Waiting; });
        },
        80);
    openSelection();
    size_t copied = 0;
    for (const BatchItem& item : window->batch()->items()) {
        ASSERT_TRUE(item.state == BatchItem::State::Copied ||
                    item.state == BatchItem::State::Replaced ||
                    item.state == BatchItem::State::Cancelled)
            << item.id.toStdString() << " " << item.why.toStdString();
        copied += item.state != BatchItem::State::Cancelled;
    }
    // The six copied before, and each new one this batch says it copied; no other.
    EXPECT_EQ(listed("dnarna", "From%20NCBI").rows.size(),
              6 + std::count_if(window->batch()->items().begin(), window->batch()->items().end(),
                                [](const BatchItem& item) {
                                    return item.state == BatchItem::State::Copied;
                                }));
    EXPECT_TRUE(window->batchDialog()->retryButton()->isEnabled() ||
                copied == window->batch()->items().size());
}

// A run of copies stopped while it saves: each record is stored (and said so) or stopped, and
// the store holds exactly those said stored, whole, with where they came from.
TEST_F(Batch, aStoppedSaveRunTellsEachRecordStoredOrStopped)
{
    const auto place = CopyPlace::fromSaveUrl("molb://local/demo/dnarna/NAME?query=MAIN&" +
                                              std::string(kLogin) + "&command=put");
    ASSERT_TRUE(place);
    std::vector<BatchCopy> copies;
    // As many as a batch may hold: far more than a fast machine saves between the first commit
    // and the stop below.
    for (int i = 0; i < 10000; ++i) {
        const std::string name = "BS" + std::to_string(10000 + i);
        copies.push_back({"dnarna", name, "ncbi://entrez/nucleotide/dnarna/" + name,
                          QByteArray::fromStdString(">" + name + "\nACGTACGT\n")});
    }
    BatchSaver saver;
    std::vector<SavedCopy> saved;
    QObject::connect(&saver, &BatchSaver::finished, &saver,
                     [&saved](const std::vector<SavedCopy>& answer) { saved = answer; });
    saver.save(*place, copies, false);
    // Stopped once the store shows the run's first commit, on a machine of any speed.
    const auto storedNow = [] {
        return MolbTest::runSql("demo", "SELECT count(*) FROM objects WHERE name LIKE 'BS%'");
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.isRunning() || storedNow() != "0\n"; },
                                4 * kWaitMs));
    ASSERT_TRUE(saver.isRunning()) << "the run ended before it was stopped";
    saver.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !saver.isRunning(); }, 4 * kWaitMs));
    ASSERT_EQ(saved.size(), copies.size());
    size_t stored = 0;
    for (const SavedCopy& copy : saved) {
        if (copy.result == SavedCopy::Result::Stored)
            EXPECT_EQ(stored++, size_t(&copy - saved.data())) << "stored after one stopped";
        else
            EXPECT_EQ(copy.result, SavedCopy::Result::Stopped) << copy.why.toStdString();
    }
    EXPECT_LT(stored, copies.size());
    EXPECT_EQ(storedNow(), std::to_string(stored) + "\n");
    if (stored > 0) {
        const std::string last = copies[stored - 1].name;
        EXPECT_EQ(MolbTest::runSql("demo", "SELECT r.arcname, r.comment, length(r.data) FROM "
                                           "revisions r JOIN objects o ON o.id = r.object_id "
                                           "WHERE o.name = '" +
                                               last + "'"),
                  "ncbi://entrez/nucleotide/dnarna/" + last +
                      "|Copied from ncbi://entrez/nucleotide/dnarna/" + last + "|" +
                      std::to_string(copies[stored - 1].bytes.size()) + "\n");
    }
}

// A run that ended abnormally after some commits: the records its answer names are told stored,
// and those after the line it was cut off in are told the run's failure, never stored.
TEST(BatchAnswer, aRunCutOffTellsWhatItStoredAndTheFailureForTheRest)
{
    const QByteArray answer = "<?xml version=\"1.0\"?><html><body><ol>\n"
                              "<li class=\"OK\" revision=\"1\">AB1</li>\n"
                              "<li class=\"EXIST\">AB2 exists.</li>\n"
                              "<li class=\"OK\" revision=\"3\">AB";
    const std::vector<SavedCopy> saved =
        BatchSaver::readAnswer(answer, 4, "the handler program ended abnormally");
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[0].result, SavedCopy::Result::Stored);
    EXPECT_EQ(saved[0].revision, 1);
    EXPECT_EQ(saved[1].result, SavedCopy::Result::Exists);
    for (size_t k : {2u, 3u}) {
        EXPECT_EQ(saved[k].result, SavedCopy::Result::Unanswered) << k;
        EXPECT_EQ(saved[k].why, "the handler program ended abnormally") << k;
    }
}

// The demo store's multi-selection opens each of its objects; none is copied.
TEST_F(Batch, theDemoStoresMultiSelectionOpensEachObject)
{
    for (const char* name : {"GU949562.1.gb", "NT_019265.gb"}) {
        const std::string file = env.file(name);
        std::ofstream(file, std::ios::binary) << NcbiTest::fixture(name);
        ASSERT_EQ(MolbTest::runAdmin({"import", "demo", "--owner", "demo", file}).exitCode, 0);
    }
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(chooseSource(panel(), "Demo database (DNA/RNA)", kWaitMs));
    ASSERT_TRUE(list(panel(), "MAIN", kWaitMs));
    ASSERT_EQ(rowNames(panel()).size(), 2);
    select(0, 1);
    openSelection();
    EXPECT_EQ(window->batch()->summary(), "2 records: 2 opened.");
    ASSERT_EQ(window->openedRecords()->count(), 2);
    QStringList names;
    for (int i = 0; i < 2; ++i)
        names << window->openedRecords()->names()->itemText(i);
    EXPECT_EQ(names, rowNames(panel()));
    // The dialog names them as the list does, not by their store ids.
    QStringList named;
    for (int i = 0; i < 2; ++i)
        named << window->batchDialog()->outcomes()->topLevelItem(i)->text(0);
    EXPECT_EQ(named, rowNames(panel()));
    EXPECT_EQ(modal.dialogsShown(), 0);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
