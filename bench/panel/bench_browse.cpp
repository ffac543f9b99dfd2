// Time from Go to a filled list through the real panel and the real molb handler, against the
// handler run alone for the same listing URL. Prints medians and their ratio; asserts nothing.
// Two moments are timed: the list's rows in place (the panel has handled the answer, and the list
// is ready to paint), and the first paint that shows them done (the user sees the list). The
// event loop sleeps meanwhile, as a host's does; runs are apart as a user's Go presses are.
//
// usage: bench_browse ADDRESS RUNS   (the store and the settings store come from the environment;
// bench/panel/run.sh prepares both)

#include <dbscout/dbscout.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Processor time in ms that this process's threads (RUSAGE_SELF) or its reaped children
// (RUSAGE_CHILDREN) have used so far.
double processorMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Processor time of one timed run: this process's, and its handler's.
struct ProcessorTimes
{
    std::vector<double> own;
    std::vector<double> handler;
    template <typename Run> void add(Run run)
    {
        const double own0 = processorMs(RUSAGE_SELF);
        const double handler0 = processorMs(RUSAGE_CHILDREN);
        run();
        own.push_back(processorMs(RUSAGE_SELF) - own0);
        handler.push_back(processorMs(RUSAGE_CHILDREN) - handler0);
    }
};

// The handler alone: spawned with the URL, read to its end, reaped.
double runHandlerAlone(const std::string& handler, const std::string& url)
{
    QElapsedTimer timer;
    timer.start();
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    char* argv[] = {const_cast<char*>(handler.c_str()), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    posix_spawn(&pid, handler.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char block[1 << 16];
    while (read(out[0], block, sizeof block) > 0) {
    }
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return double(timer.nsecsElapsed()) / 1e6;
}

// How much two threads overlap when both start after a pause as long as the one between two Go
// presses: the wall time of two equal runs of work started together, over that of one. 1.0
// means two processors at once; 2.0 means the system ran them one after the other. The panel
// has its interface thread, its worker and the handler runnable at once where the handler
// alone is one.
double startTogetherFactor(int runs)
{
    const auto work = [] {
        volatile unsigned sum = 0;
        for (unsigned i = 0; i < 2000000; ++i)
            sum = sum + i;
    };
    std::vector<double> one;
    std::vector<double> two;
    for (int i = 0; i < runs; ++i) {
        QThread::msleep(100);
        QElapsedTimer timer;
        timer.start();
        work();
        one.push_back(double(timer.nsecsElapsed()));
        QThread::msleep(100);
        timer.start();
        std::thread other(work);
        work();
        other.join();
        two.push_back(double(timer.nsecsElapsed()));
    }
    return median(two) / median(one);
}

// When a Go's list was ready: its rows in place (the panel has handled the answer), and its
// first paint with them done.
struct FillTimes
{
    double inPlace = -1;
    double painted = -1;
};

// Runs the event loop from a Go until the list has been painted with its rows.
class FilledListWatch final : public QObject
{
public:
    explicit FilledListWatch(QTreeWidget* list) : m_list(list)
    {
        m_timeout.setSingleShot(true);
        connect(&m_timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        list->viewport()->installEventFilter(this);
        // Rows come in while the panel handles the answer; a queued call comes once it is done.
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, [this] {
            if (m_fillSeen || !filled())
                return;
            m_fillSeen = true;
            QMetaObject::invokeMethod(
                this, [this] { m_times.inPlace = elapsed(); }, Qt::QueuedConnection);
        });
    }

    // Times from go, or -1 where the list was not filled within 30 s.
    template <typename Go> FillTimes measure(Go go)
    {
        m_times = FillTimes();
        m_fillSeen = false;
        m_paintSeen = false;
        m_timeout.start(30000);
        m_timer.start();
        go();
        m_loop.exec();
        m_timeout.stop();
        return m_times;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The paint runs after this filter; the queued call comes once it is done.
        if (event->type() == QEvent::Paint && !m_paintSeen && filled()) {
            m_paintSeen = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_times.painted = elapsed();
                    m_loop.quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool filled() const
    {
        return m_list->topLevelItemCount() == 100 &&
               m_list->topLevelItem(0)->text(0) != "Downloading...";
    }
    double elapsed() const { return double(m_timer.nsecsElapsed()) / 1e6; }

    QTreeWidget* m_list;
    QEventLoop m_loop;
    QTimer m_timeout;
    QElapsedTimer m_timer;
    FillTimes m_times;
    bool m_fillSeen = false;
    bool m_paintSeen = false;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_browse ADDRESS RUNS\n");
        return 2;
    }
    const std::string address = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));

    InitScoutpaneDLL();
    QWidget host;
    host.resize(1000, 700);
    host.show();
    // A settings key as every real host gives one: the panel writes its table layouts before
    // each listing, and that is part of what the user waits for.
    HKEY settings = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\DbscoutBench", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &settings,
                        nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "bench_browse: no settings key\n");
        return 1;
    }
    CDbscout* panel = CreateScoutpane("", settings, 1, 0, 0, 0);
    panel->Create(&host, QRect(0, 0, 1000, 700), 1, WS_CHILD | WS_VISIBLE);
    app.processEvents(); // the panel is built from the window's first size
    auto* source = panel->findChild<QComboBox*>("6913");
    auto* query = panel->findChild<QComboBox*>("6914");
    auto* go = panel->findChild<QPushButton*>("6901");
    auto* list = panel->findChild<QTreeWidget*>("6996");
    if (!source || !query || !go || !list) {
        std::fprintf(stderr, "bench_browse: the panel has no controls\n");
        return 1;
    }
    source->setEditText(QString::fromStdString(address));
    source->lineEdit()->textEdited(source->currentText()); // as typed by the user
    query->setEditText("MAIN");

    // The handler alone runs between the Go presses, so that both see the same load.
    const std::string url = address + "?start=0&page=100&query=MAIN";
    FilledListWatch watch(list);
    std::vector<double> inPlaceTimes;
    std::vector<double> paintedTimes;
    std::vector<double> aloneTimes;
    ProcessorTimes panelProcessor;
    ProcessorTimes aloneProcessor;
    // Each run, of the panel and of the handler alone, starts after the same pause: the previous
    // run's subset answer and repaints come in first, as they would between two Go presses of a
    // user, and both start from the same idle machine.
    const auto pause = [] {
        QEventLoop settle;
        QTimer::singleShot(100, &settle, &QEventLoop::quit);
        settle.exec();
    };
    for (int i = 0; i < runs; ++i) {
        pause();
        aloneProcessor.add([&] { aloneTimes.push_back(runHandlerAlone(MOLB_HANDLER_PATH, url)); });
        pause();
        source->lineEdit()->textEdited(QString::fromStdString(address));
        FillTimes times;
        panelProcessor.add([&] { times = watch.measure([go] { go->click(); }); });
        if (times.inPlace < 0 || times.painted < 0) {
            std::fprintf(stderr, "bench_browse: no list of 100 rows after 30 s\n");
            return 1;
        }
        inPlaceTimes.push_back(times.inPlace);
        paintedTimes.push_back(times.painted);
    }

    const double together = startTogetherFactor(std::min(runs, 21));
    const double inPlace = median(inPlaceTimes);
    const double painted = median(paintedTimes);
    const double alone = median(aloneTimes);
    std::printf("Go to a filled list of 100 rows: median %.2f ms over %d runs\n", inPlace, runs);
    std::printf("Go to that list painted:         median %.2f ms over %d runs\n", painted, runs);
    std::printf("handler alone for the same URL:   median %.2f ms over %d runs\n", alone, runs);
    // On a machine that runs them one after the other, the wall times follow these sums.
    std::printf("processor time, Go to the painted list: panel %.2f ms, its handler %.2f ms\n",
                median(panelProcessor.own), median(panelProcessor.handler));
    std::printf("processor time, the handler alone:     spawning %.2f ms, handler %.2f ms\n",
                median(aloneProcessor.own), median(aloneProcessor.handler));
    std::printf("two threads started together after a pause take %.2f times one thread's time\n",
                together);
    // The figures against their targets, as bench/molb/run-server.sh prints its own.
    const auto target = [](const char* figure, double ratio, double limit) {
        std::printf("%-46s %-8.2f <= %-5.1f %s\n", figure, ratio, limit,
                    ratio <= limit ? "yes" : "no");
    };
    std::printf("\n%-46s %-8s %-8s %s\n", "figure", "ratio", "target", "met");
    target("Go to a filled list / the handler alone", inPlace / alone, 1.3);
    target("Go to the painted list / the handler alone", painted / alone, 2.0);
    DeleteScoutpane(panel);
    RegCloseKey(settings);
    return 0;
}
