#include "object_fetcher.h"

#include "handler_command.h"

#include <QXmlStreamReader>

namespace {

// A handler that neither answers nor ends within this time is taken for hung.
constexpr int kFetchTimeoutMs = 60000;

} // namespace

ObjectFetcher::ObjectFetcher(QObject* parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_timeout.setSingleShot(true);
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { m_output += m_process.readAllStandardOutput(); });
    connect(&m_process, &QProcess::finished, this, &ObjectFetcher::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(tr("the handler program %1 could not be started: %2")
                     .arg(m_process.program(), m_process.errorString()));
    });
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        stop();
        fail(tr("the handler did not answer within %1 seconds").arg(kFetchTimeoutMs / 1000));
    });
}

ObjectFetcher::~ObjectFetcher()
{
    m_process.disconnect(this);
    stop();
}

void ObjectFetcher::fetch(const std::string& url)
{
    stop();
    const HandlerCommand command = handlerCommandFor(url, "open");
    if (!command.error.isEmpty()) {
        // Reported from the event loop, as every other answer is.
        QMetaObject::invokeMethod(
            this, [this, error = command.error] { fail(error); }, Qt::QueuedConnection);
        return;
    }
    m_output.clear();
    m_process.start(command.program, command.arguments, QIODevice::ReadOnly);
    m_timeout.start(kFetchTimeoutMs);
}

void ObjectFetcher::stop()
{
    m_timeout.stop();
    if (m_process.state() == QProcess::NotRunning)
        return;
    const QSignalBlocker blocker(m_process);
    m_process.kill();
    m_process.waitForFinished(5000);
}

void ObjectFetcher::onFinished(int exitCode, QProcess::ExitStatus status)
{
    m_timeout.stop();
    m_output += m_process.readAllStandardOutput();
    if (status != QProcess::NormalExit)
        return fail(tr("the handler program ended abnormally"));
    if (exitCode != 0) {
        const QString message = errorPageText(m_output);
        return fail(message.isEmpty() ? tr("the handler failed with exit status %1").arg(exitCode)
                                      : message);
    }
    emit finished(std::exchange(m_output, {}), QString());
}

void ObjectFetcher::fail(const QString& error)
{
    m_output.clear();
    emit finished({}, error);
}

QString ObjectFetcher::errorPageText(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("body"))
            return xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        if (xml.name() != QLatin1String("html"))
            xml.skipCurrentElement();
    }
    return {};
}
