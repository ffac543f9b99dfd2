#pragma once
// Fetches an object's bytes (or another answer, such as a listing page) by running the handler
// registered for its URL's scheme and the verb ("open" for objects), as the panel runs handlers
// for its own requests: posix_spawn with the handler's standard output on a pipe, standard input
// and error on /dev/null. One fetch at a time; a new one stops the one before. The answer
// arrives on the GUI thread through finished().

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <string>
#include <sys/types.h>

class QSocketNotifier;

class ObjectFetcher final : public QObject
{
    Q_OBJECT

public:
    explicit ObjectFetcher(QObject* parent = nullptr);
    ~ObjectFetcher() override;

    // input: the handler's standard input (a save's objects); empty: none.
    void fetch(const std::string& url, const char* verb = "open", const QByteArray& input = {});
    // A handler asked for several records ends with status 3 when it wrote some and left others
    // out; with this set, such an answer is an answer (the caller tells what is missing).
    void setPartialAnswers(bool accepted) { m_partialAnswers = accepted; }
    // Ends the handler, if one runs, without an answer.
    void stop();
    // Asks the handler to end early (SIGTERM; a batch save finishes the save under way); its
    // answer still comes through finished().
    void terminate();
    bool isRunning() const { return m_pid > 0; }

    // The one-line text of a handler's error page, or empty when bytes are none.
    static QString errorPageText(const QByteArray& bytes);
    // The subset names a result page lists in its directory (<dir><li><a>NAME</a></li>...),
    // in order; none for anything else.
    static QStringList subsetNames(const QByteArray& bytes);

signals:
    // bytes: the answer; when error says what went wrong, what the handler wrote before it
    // failed (a batch save's word on each record it stored before it ended), if anything.
    void finished(const QByteArray& bytes, const QString& error);

private:
    void readOutput();
    void reap();
    void closeOutput();
    void fail(const QString& error);

    bool m_partialAnswers = false;
    pid_t m_pid = -1;
    int m_output = -1;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_bytes;
    QString m_program;
    QTimer m_timeout;
    QTimer m_reaper; // the output has ended; waits for the handler to exit
};
