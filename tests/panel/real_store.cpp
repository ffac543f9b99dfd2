#include "real_store.h"

#include "support/test_env.h"

#include <QDebug>
#include <QFile>

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
    "Windows Registry Editor Version 5.00\n\n"
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

QString writeFile(const TestEnv& env, const char* name, const QByteArray& bytes)
{
    const QString path = QString::fromStdString(env.file(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning() << "cannot write" << path;
    return path;
}

// Runs a program to its end and returns its standard output; ok tells whether it exited 0.
// The input goes into the pipe before the start, so it must fit the pipe's buffer.
// (posix_spawn: the thread sanitizer refuses a fork in a process that has threads.)
QByteArray runProgram(const QString& program, const QStringList& arguments, bool* ok = nullptr,
                      const QByteArray& input = {})
{
    std::vector<std::string> words{program.toStdString()};
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int in[2] = {-1, -1}, out[2] = {-1, -1};
    bool passed = pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0 &&
                  write(in[1], input.constData(), input.size()) == input.size();
    close(in[1]);
    pid_t pid = 0;
    if (passed) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        passed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    close(in[0]);
    close(out[1]);
    QByteArray output;
    char block[65536];
    for (ssize_t count; passed && (count = read(out[0], block, sizeof block)) > 0;)
        output.append(block, count);
    close(out[0]);
    int status = 0;
    passed =
        passed && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!passed)
        qWarning() << program << arguments << "failed";
    if (ok)
        *ok = passed;
    return output;
}

} // namespace

RealStore::RealStore(const TestEnv& env, int count)
{
    QByteArray fasta;
    for (int i = 0; i < count; ++i)
        fasta += QString(">seq%1 test record %1\n").arg(i, 3, 10, QChar('0')).toUtf8() +
                 QByteArray("ACGT").repeated(10 + i) + "\n";
    admin({"init", "demo"});
    admin({"import", "demo", "--subset", "Favourites", writeFile(env, "records.fasta", fasta)});

    runProgram(DBSCOUT_REG_PATH, {"import", writeFile(env, "sources.reg", kSourceReg)});
    const QString command = QString("\"%1\" \"%2\"").arg(MOLB_HANDLER_PATH, "%1");
    for (const char* verb : {"dir", "put"})
        runProgram(DBSCOUT_REG_PATH, {"add", QString("HKCR\\molb\\shell\\%1\\command").arg(verb),
                                      "/ve", "/d", command, "/f"});
}

QByteArray RealStore::admin(const QStringList& arguments, bool* ok, const QByteArray& input) const
{
    return runProgram(MOLB_ADMIN_PATH, arguments, ok, input);
}

QByteArray RealStore::request(const QString& url, bool* ok) const
{
    return runProgram(MOLB_HANDLER_PATH, {url}, ok);
}

} // namespace DbscoutTest
