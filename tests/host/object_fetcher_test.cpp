// Fetching through a real handler program: a shell script registered for molb in a private
// settings store, whose behaviour the URL chooses.

#include "object_fetcher.h"

#include <dbscout/registry.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kErrorPage = R"(<?xml version="1.0"?><html><head><title>molb error</title></head>)"
                               R"(<body id="ERROR">No object "7" in <i>demo</i>.</body></html>)";

// ERROR_PAGE: kErrorPage.
const char kHandler[] = R"(#!/bin/sh
case "$1" in
  *ok*) printf 'LOCUS\000bytes\377\n' ;;
  *big*) head -c 3000000 /dev/zero ;;
  *fail*) printf '%s' 'ERROR_PAGE'; exit 1 ;;
  *silent*) exit 3 ;;
  *some*) printf 'LOCUS part\n//\n'; exit 3 ;;
  *crash*) printf 'LOCUS cut'; kill -SEGV $$ ;;
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
        script.write(QByteArray(kHandler).replace("ERROR_PAGE", kErrorPage));
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        registerOpen(m_handler);
    }

    void deliversTheExactBytesOrSaysWhatWentWrong()
    {
        const QString missing = m_dir.filePath("no-such-handler");
        const std::tuple<QString, QByteArray, QString> cases[] = {
            {"molb://local/demo/ok", QByteArray("LOCUS\0bytes\xff\n", 13), ""},
            {"molb://local/demo/big", QByteArray(3000000, '\0'), ""},
            // The error page's text, and what the handler wrote as it is.
            {"molb://local/demo/fail", kErrorPage, "No object \"7\" in demo."},
            {"molb://local/demo/silent", "", "the handler failed with exit status 3"},
            {"molb://local/demo/crash", "LOCUS cut", "the handler program ended abnormally"},
            {"nothing", "", "no handler program is registered for \"\" (verb open)"},
            {"molb://local/demo/missing-program", "",
             "the handler program " + missing + " could not be started"},
        };
        for (const auto& [url, bytes, error] : cases) {
            if (url.endsWith("missing-program"))
                registerOpen(missing);
            const auto [output, message] = fetch(url, false);
            registerOpen(m_handler);
            QVERIFY(output == bytes);
            if (url.endsWith("missing-program")) // followed by the system's reason
                QVERIFY2(message.startsWith(error), qPrintable(message));
            else
                QCOMPARE(message, error);
        }
    }

    // Status 3 (some records written, some left out) is an answer only where the caller tells
    // what is missing; written nothing, it is a failure either way.
    void someRecordsLeftOutAreAnAnswerWhereAccepted()
    {
        const std::tuple<QString, bool, QByteArray, QString> cases[] = {
            {"molb://local/demo/some", true, "LOCUS part\n//\n", ""},
            {"molb://local/demo/some", false, "LOCUS part\n//\n",
             "the handler failed with exit status 3"},
            {"molb://local/demo/silent", true, "", "the handler failed with exit status 3"},
            {"molb://local/demo/fail", true, kErrorPage, "No object \"7\" in demo."},
        };
        for (const auto& [url, accepted, bytes, error] : cases) {
            const auto [output, message] = fetch(url, accepted);
            QCOMPARE(output, bytes);
            QCOMPARE(message, error);
        }
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

    static std::pair<QByteArray, QString> fetch(const QString& url, bool partialAnswers)
    {
        ObjectFetcher fetcher;
        fetcher.setPartialAnswers(partialAnswers);
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
