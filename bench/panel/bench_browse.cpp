// Time from Go to a filled list through the real panel and the real molb handler, against the
// handler run alone for the same listing URL. Prints medians and their ratio; asserts nothing.
//
// usage: bench_browse ADDRESS RUNS   (the store and the settings store come from the environment;
// bench/panel/run.sh prepares both)

#include <dbscout/dbscout.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <fcntl.h>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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
    CDbscout* panel = CreateScoutpane("", nullptr, 1, 0, 0, 0);
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

    std::vector<double> panelTimes;
    for (int i = 0; i < runs; ++i) {
        source->lineEdit()->textEdited(QString::fromStdString(address));
        QElapsedTimer timer;
        timer.start();
        go->click();
        while (!(list->topLevelItemCount() == 100 && list->topLevelItem(0)->text(0) != "Downloading...")) {
            app.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
            if (timer.elapsed() > 30000) {
                std::fprintf(stderr, "bench_browse: no list of 100 rows after 30 s\n");
                return 1;
            }
        }
        panelTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const std::string url = address + "?start=0&page=100&query=MAIN";
    std::vector<double> aloneTimes;
    for (int i = 0; i < runs; ++i)
        aloneTimes.push_back(runHandlerAlone(MOLB_HANDLER_PATH, url));

    const double panelMedian = median(panelTimes);
    const double aloneMedian = median(aloneTimes);
    std::printf("Go to a filled list of 100 rows: median %.2f ms over %d runs\n", panelMedian, runs);
    std::printf("handler alone for the same URL:   median %.2f ms over %d runs\n", aloneMedian, runs);
    std::printf("ratio (panel / handler alone):    %.3f (target 1.3 or less)\n",
                panelMedian / aloneMedian);
    DeleteScoutpane(panel);
    return 0;
}
