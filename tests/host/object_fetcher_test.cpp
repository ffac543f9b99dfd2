// Fetching through a real handler program: a shell script registered for molb in a private
// settings store, whose behaviour the URL chooses.

#include "object_fetcher.h"

#include <dbscout/registry.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char kHandler[] = R"(#!/bin/sh
case "$1" in
  *ok*) printf 'LOCUS\000bytes\377\n' ;;
  *big*) head -c 3000000 /dev/zero ;;
  *fail*) printf '<?xml version="1.0"?><html><head><title>molb error</title></head><body id="ERROR">No object "7" in <i>demo</i>.</body></html>'; exit 1 ;;
  *silent*) exit 3 ;;
  *crash*) kill -SEGV $$ ;;
  *slow*) exec sleep 30 ;;
esac
)";

} // namespace

class ObjectFetcherTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("DBSCOUT_REGISTRY_DIR", m_dir.path().toLocal8Bit());
        m_handler = m_dir.filePath("handler.sh");
        QFile script(m_handler);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(kHandler);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        registerOpen(m_handler);
    }

    void deliversTheExactBytes_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary") << "molb://local/demo/ok" << QByteArray("LOCUS\0bytes\xff\n", 13);
        QTest::newRow("large") << "molb://local/demo/big" << QByteArray(3000000, '\0');
    }
    void deliversTheExactBytes()
    {
        QFETCH(QString, url);
        QFETCH(QByteArray, bytes);
        const auto [output, error] = fetch(url);
        QCOMPARE(error, QString());
        QCOMPARE(output.size(), bytes.size());
        QCOMPARE(output, bytes);
    }

    void reportsWhatWentWrong_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("error");
        QTest::newRow("error page") << "molb://local/demo/fail"
                                    << "No object \"7\" in demo.";
        QTest::newRow("bare exit") << "molb://local/demo/silent"
                                   << "the handler failed with exit status 3";
        QTest::newRow("crash") << "molb://local/demo/crash"
                               << "the handler program ended abnormally";
        QTest::newRow("no scheme") << "nothing"
                                   << "no handler program is registered for \"\" (verb open)";
        QTest::newRow("cannot start") << "molb://local/demo/missing-program"
                                      << "the handler program %1 could not be started";
    }
    void reportsWhatWentWrong()
    {
        QFETCH(QString, url);
        QFETCH(QString, error);
        const QString missing = m_dir.filePath("no-such-handler");
        if (url.endsWith("missing-program"))
            registerOpen(missing);
        const auto [output, message] = fetch(url);
        registerOpen(m_handler);
        const QString expected = QString(error).replace("%1", missing);
        if (url.endsWith("missing-program")) // followed by the system's reason
            QVERIFY2(message.startsWith(expected), qPrintable(message));
        else
            QCOMPARE(message, expected);
        QVERIFY(output.isEmpty());
    }

    void stopEndsTheHandlerWithoutAnAnswer()
    {
        ObjectFetcher fetcher;
        QSignalSpy finished(&fetcher, &ObjectFetcher::finished);
        fetcher.fetch("molb://local/demo/slow");
        QVERIFY(QTest::qWaitFor([&] { return fetcher.isRunning(); }, 5000));
        fetcher.stop();
        QVERIFY(!fetcher.isRunning());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
    }

    void aNewFetchReplacesTheOneRunning()
    {
        ObjectFetcher fetcher;
        QSignalSpy finished(&fetcher, &ObjectFetcher::finished);
        fetcher.fetch("molb://local/demo/slow");
        fetcher.fetch("molb://local/demo/ok");
        QVERIFY(finished.wait(10000));
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].toByteArray(), QByteArray("LOCUS\0bytes\xff\n", 13));
    }

private:
    static void registerOpen(const QString& program)
    {
        Dbscout::RegKey key;
        QCOMPARE(key.create(HKEY_CLASSES_ROOT, "molb\\shell\\open\\command"), ERROR_SUCCESS);
        const std::string value = "\"" + program.toStdString() + "\" \"%1\"";
        QCOMPARE(RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                DWORD(value.size() + 1)),
                 ERROR_SUCCESS);
    }

    static std::pair<QByteArray, QString> fetch(const QString& url)
    {
        ObjectFetcher fetcher;
        QSignalSpy finished(&fetcher, &ObjectFetcher::finished);
        fetcher.fetch(url.toStdString());
        if (!finished.wait(10000))
            return {{}, "no answer"};
        return {finished[0][0].toByteArray(), finished[0][1].toString()};
    }

    QTemporaryDir m_dir;
    QString m_handler;
};

QTEST_MAIN(ObjectFetcherTest)
#include "object_fetcher_test.moc"
