#include "real_store.h"

#include "support/child_process.h"
#include "support/test_env.h"

#include <QDebug>
#include <QFile>

#include <string>
#include <vector>

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
QByteArray runProgram(const QString& program, const QStringList& arguments, bool* ok = nullptr,
                      const QByteArray& input = {})
{
    std::vector<std::string> words;
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    const ProcessResult result = runProcess(program.toStdString(), words, input.toStdString());
    if (result.exitCode != 0)
        qWarning() << program << arguments << "failed:" << result.errors.c_str();
    if (ok)
        *ok = result.exitCode == 0;
    return QByteArray::fromStdString(result.output);
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
