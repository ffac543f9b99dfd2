// The whole cycle against the real molb handler: a store made with molb-admin, a data source
// configured by importing a .reg file with dbscout-reg, a panel that starts at the last place,
// lists, pages, sorts, and a picked object fetched with the URL the host is given.

#include "panel_harness.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using DbscoutTest::PanelHarness;

namespace {

// Runs a program to its end (posix_spawn: the thread sanitizer refuses a fork in a process that
// has threads) and returns its standard output; a bad exit is reported.
QByteArray run(const QString& program, const QStringList& arguments)
{
    std::vector<std::string> words{program.toStdString()};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0)
        return "no pipe";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    QByteArray output;
    char block[65536];
    for (ssize_t count; (count = read(out[0], block, sizeof block)) > 0;)
        output.append(block, count);
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        qWarning() << program << arguments << "failed";
    return output;
}

// 150 nucleotide records with names seq000 ... seq149.
QByteArray fastaRecords()
{
    QByteArray text;
    for (int i = 0; i < 150; ++i) {
        text += QString(">seq%1 test record %1\n").arg(i, 3, 10, QChar('0')).toUtf8();
        text += QByteArray("ACGT").repeated(10 + i) + "\n";
    }
    return text;
}

const char kSourceReg[] =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources\\Demo]\n"
    "\"Name\"=\"Demo database\"\n"
    "\"Address\"=\"molb://local/demo/\"\n"
    "\"DnaRna\"=dword:00000001\n"
    "\"Protein\"=dword:00000001\n"
    "\"Visible1\"=dword:00000001\n"
    "\"CanOpen\"=dword:00000001\n"
    "\"Visible2\"=dword:00000001\n"
    "\"CanSave\"=dword:00000001\n"
    "\"FlagA\"=dword:00000001\n";

} // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void browsePagesSortsAndFetchesFromTheRealHandler()
    {
        PanelHarness h;
        h.destroy();
        const QString admin = MOLB_ADMIN_PATH;
        const QString handler = MOLB_HANDLER_PATH;
        run(admin, {"init", "demo"});
        const QString fasta = QString::fromStdString(h.env().file("records.fasta"));
        QFile file(fasta);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fastaRecords());
        file.close();
        run(admin, {"import", "demo", "--subset", "Favourites", fasta});

        const QString reg = QString::fromStdString(h.env().file("sources.reg"));
        QFile regFile(reg);
        QVERIFY(regFile.open(QIODevice::WriteOnly));
        regFile.write(kSourceReg);
        regFile.close();
        run(DBSCOUT_REG_PATH, {"import", reg});
        const QString command = "\"" + handler + "\" \"%1\"";
        run(DBSCOUT_REG_PATH, {"add", "HKCR\\molb\\shell\\dir\\command", "/ve", "/d", command, "/f"});

        h.create(true, 0);
        QCOMPARE(h.sourceBox()->itemText(0), QString("Demo database (DNA/RNA)"));
        h.sourceBox()->setCurrentIndex(0);
        h.typeQuery("MAIN");
        h.pressGo();
        QVERIFY(h.waitForListing(20000));
        QVERIFY2(h.modal().messages().empty(),
                 qPrintable(h.modal().messages().empty() ? "" : h.modal().messages()[0].text));
        QCOMPARE(h.list()->topLevelItemCount(), 100);
        QVERIFY(h.status()->text().startsWith("150 objects were found. The first object # is 1"));

        h.command(6974); // next page
        QVERIFY(h.waitForListing(20000));
        QCOMPARE(h.list()->topLevelItemCount(), 50);
        QVERIFY(h.status()->text().contains("The first object # is 101"));

        // Sort by name, descending: the last record comes first.
        QHeaderView* header = h.list()->header();
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + 4, header->height() / 2));
        QCOMPARE(h.list()->topLevelItem(0)->text(0), QString("seq149"));

        QTreeWidget* list = h.list();
        const QPoint first = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::qWait(20);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(int(h.host()->picks.size()), 1);
        const auto& pick = h.host()->picks[0];
        QVERIFY(pick.gotUrl);
        QVERIFY2(QString::fromStdString(pick.url).endsWith("&command=fetch"), pick.url.c_str());

        // The host hands the URL to the handler as the panel would, split at blanks.
        const QByteArray bytes =
            run(handler, QString::fromStdString(pick.url).split(' ', Qt::SkipEmptyParts));
        QVERIFY2(bytes.contains(QByteArray("ACGT").repeated(159)), bytes.left(200).constData());

        // The server's subsets came with the listing.
        QVERIFY(h.waitForSubsets(1, 10000) || h.queryBox()->findText("Favourites") >= 0);

        // A new panel starts at the same place and lists its subsets at once.
        h.destroy();
        h.create(true, 0);
        QCOMPARE(h.sourceBox()->currentText(), QString("Demo database (DNA/RNA)"));
        QVERIFY(QTest::qWaitFor([&] { return h.queryBox()->findText("Favourites") >= 0; }, 20000));
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
