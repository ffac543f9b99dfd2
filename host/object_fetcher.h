#pragma once
// Fetches an object's bytes by running the handler registered for its URL's scheme (verb
// "open"), as the panel runs handlers for its own requests. One fetch at a time; a new one stops
// the one before. The answer arrives on the GUI thread through finished().

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QTimer>

#include <string>

class ObjectFetcher final : public QObject
{
    Q_OBJECT

public:
    explicit ObjectFetcher(QObject* parent = nullptr);
    ~ObjectFetcher() override;

    void fetch(const std::string& url);
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // The one-line text of a handler's error page, or empty when bytes are none.
    static QString errorPageText(const QByteArray& bytes);

signals:
    // bytes on success; otherwise error says what went wrong and bytes is empty.
    void finished(const QByteArray& bytes, const QString& error);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void fail(const QString& error);

    QProcess m_process;
    QTimer m_timeout;
    QByteArray m_output;
};
