#include "object_fetcher.h"

#include "handler_command.h"

#include <QSocketNotifier>
#include <QXmlStreamReader>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// A handler that neither answers nor ends within this time is taken for hung.
constexpr int kFetchTimeoutMs = 60000;

} // namespace

ObjectFetcher::ObjectFetcher(QObject* parent) : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        stop();
        fail(tr("the handler did not answer within %1 seconds").arg(kFetchTimeoutMs / 1000));
    });
    connect(&m_reaper, &QTimer::timeout, this, &ObjectFetcher::reap);
}

ObjectFetcher::~ObjectFetcher()
{
    stop();
}

namespace {

// The input as a file the handler reads at its own pace: nothing here blocks on a full pipe.
// -1 when it cannot be made; errno says why.
int inputFile(const QByteArray& input)
{
    const int fd = memfd_create("handler-input", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    for (qsizetype done = 0; done < input.size();) {
        const ssize_t count = write(fd, input.constData() + done, size_t(input.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            close(fd);
            errno = error;
            return -1;
        }
        done += count;
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

} // namespace

void ObjectFetcher::fetch(const std::string& url, const char* verb, const QByteArray& input)
{
    stop();
    m_bytes.clear();
    const HandlerCommand command = handlerCommandFor(url, verb);
    if (!command.error.isEmpty()) {
        // Reported from the event loop, as every other answer is.
        QMetaObject::invokeMethod(
            this, [this, error = command.error] { fail(error); }, Qt::QueuedConnection);
        return;
    }
    m_program = command.program;
    std::vector<std::string> words{command.program.toLocal8Bit().toStdString()};
    for (const QString& argument : command.arguments)
        words.push_back(argument.toLocal8Bit().toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const int inputFd = input.isEmpty() ? -1 : inputFile(input);
    int ends[2];
    if ((!input.isEmpty() && inputFd < 0) || pipe2(ends, O_CLOEXEC) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (inputFd >= 0)
            close(inputFd);
        QMetaObject::invokeMethod(
            this, [this, reason] { fail(tr("no pipe: %1").arg(reason)); }, Qt::QueuedConnection);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, inputFd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (inputFd >= 0)
        close(inputFd);
    if (spawned != 0) {
        close(ends[0]);
        const QString error = tr("the handler program %1 could not be started: %2")
                                  .arg(m_program, QString::fromLocal8Bit(std::strerror(spawned)));
        QMetaObject::invokeMethod(
            this, [this, error] { fail(error); }, Qt::QueuedConnection);
        return;
    }
    m_pid = pid;
    m_output = ends[0];
    fcntl(m_output, F_SETFL, fcntl(m_output, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_output, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ObjectFetcher::readOutput);
    m_timeout.start(kFetchTimeoutMs);
}

void ObjectFetcher::stop()
{
    m_timeout.stop();
    m_reaper.stop();
    closeOutput();
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

void ObjectFetcher::terminate()
{
    if (m_pid > 0)
        kill(m_pid, SIGTERM);
}

void ObjectFetcher::readOutput()
{
    char block[65536];
    for (;;) {
        const ssize_t count = read(m_output, block, sizeof block);
        if (count > 0) {
            m_bytes.append(block, count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            return;
        break; // the end of the output, or an error that ends it
    }
    closeOutput();
    reap();
    if (m_pid > 0)
        m_reaper.start(10);
}

void ObjectFetcher::reap()
{
    int status = 0;
    const pid_t ended = waitpid(m_pid, &status, WNOHANG);
    if (ended == 0)
        return; // still running; the timeout ends a handler that never exits
    m_reaper.stop();
    m_timeout.stop();
    m_pid = -1;
    if (ended < 0 || !WIFEXITED(status))
        return fail(tr("the handler program ended abnormally"));
    constexpr int kSomeLeftOut = 3;
    const bool partial = m_partialAnswers && WEXITSTATUS(status) == kSomeLeftOut &&
                         errorPageText(m_bytes).isEmpty() && !m_bytes.isEmpty();
    if (WEXITSTATUS(status) != 0 && !partial) {
        const QString message = errorPageText(m_bytes);
        return fail(message.isEmpty()
                        ? tr("the handler failed with exit status %1").arg(WEXITSTATUS(status))
                        : message);
    }
    emit finished(std::exchange(m_bytes, {}), QString());
}

void ObjectFetcher::closeOutput()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_output >= 0)
        close(m_output);
    m_output = -1;
}

void ObjectFetcher::fail(const QString& error)
{
    emit finished(std::exchange(m_bytes, {}), error);
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

QStringList ObjectFetcher::subsetNames(const QByteArray& bytes)
{
    // html > body > dir > li > a, the path the panel reads too.
    static const QStringList kPath = {"html", "body", "dir", "li", "a"};
    QStringList names;
    QStringList open;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            open << xml.name().toString();
            if (open != kPath)
                continue;
            names << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            open.removeLast(); // the text's read took its end tag
        } else if (xml.isEndElement()) {
            open.removeLast();
        }
    }
    return xml.hasError() ? QStringList() : names;
}
