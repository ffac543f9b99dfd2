#include "real_store.h"

#include "support/test_env.h"

#include <QDebug>
#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace DbscoutTest {

namespace {

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

QByteArray fastaRecords(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += QString(">seq%1 test record %1\n").arg(i, 3, 10, QChar('0')).toUtf8();
        text += QByteArray("ACGT").repeated(10 + i) + "\n";
    }
    return text;
}

bool writeFile(const std::string& path, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program's standard input: nothing, or the bytes from a file, so that no writer thread is
// needed whatever the size.
int inputDescriptor(const QByteArray& input, QTemporaryFile& spill)
{
    if (input.isEmpty())
        return open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (!spill.open() || spill.write(input) != input.size() || !spill.flush())
        return -1;
    return open(spill.fileName().toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
}

} // namespace

QByteArray runProgram(const QString& program, const QStringList& arguments, bool* ok,
                      const QByteArray& input)
{
    std::vector<std::string> words{program.toStdString()};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    QTemporaryFile spill;
    const int in = inputDescriptor(input, spill);
    int out[2] = {-1, -1};
    if (in < 0 || pipe2(out, O_CLOEXEC) != 0) {
        if (in >= 0)
            close(in);
        if (ok)
            *ok = false;
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(in);
    QByteArray output;
    char block[65536];
    for (ssize_t count; (count = read(out[0], block, sizeof block)) > 0;)
        output.append(block, count);
    close(out[0]);
    int status = 0;
    const bool passed = spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                        WEXITSTATUS(status) == 0;
    if (!passed)
        qWarning() << program << arguments << "failed";
    if (ok)
        *ok = passed;
    return output;
}

RealStore::RealStore(const TestEnv& env, int count)
{
    admin({"init", "demo"});
    const std::string fasta = env.file("records.fasta");
    writeFile(fasta, fastaRecords(count));
    admin({"import", "demo", "--subset", "Favourites", QString::fromStdString(fasta)});

    const std::string reg = env.file("sources.reg");
    writeFile(reg, kSourceReg);
    runProgram(DBSCOUT_REG_PATH, {"import", QString::fromStdString(reg)});
    const QString command = QString("\"%1\" \"%2\"").arg(MOLB_HANDLER_PATH, "%1");
    for (const char* verb : {"dir", "put"})
        runProgram(DBSCOUT_REG_PATH, {"add", QString("HKCR\\molb\\shell\\%1\\command").arg(verb),
                                      "/ve", "/d", command, "/f"});
}

QByteArray RealStore::admin(const QStringList& arguments, bool* ok, const QByteArray& input) const
{
    return runProgram(MOLB_ADMIN_PATH, arguments, ok, input);
}

QByteArray RealStore::request(const QString& url, bool* ok, const QByteArray& input) const
{
    return runProgram(MOLB_HANDLER_PATH, url.split(' ', Qt::SkipEmptyParts), ok, input);
}

} // namespace DbscoutTest
