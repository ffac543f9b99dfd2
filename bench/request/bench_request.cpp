// One request through CScoutRequest (worker thread, pipes, handler, completion message through
// the event loop) against the same handler spawned bare with posix_spawn and read to its end.
// The job's overhead is the ratio of the two medians:
//   bench_request --benchmark_repetitions=30 --benchmark_report_aggregates_only=true

#include "document/scout_response.h"
#include "platform/process.h"
#include "platform/registered_messages.h"
#include "request/scout_request.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const std::string kHandler = DBSCOUT_TEST_HANDLER;

class DrainingResponse final : public Dbscout::ScoutResponse
{
public:
    void Parse(int stdoutRead) override
    {
        const Dbscout::OutputBuffer text = Dbscout::ReadAllOutput(stdoutRead);
        status = text && text[0] ? "OK" : "EMPTY";
    }
};

class Receiver final : public QObject
{
public:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Type(MOLBSCOUTPANE_MARKUP_DONE))
            return QObject::event(event);
        done = true;
        return true;
    }
    bool done = false;
};

void BM_RequestJob(benchmark::State& state, const char* url)
{
    Receiver receiver;
    for (auto _ : state) {
        receiver.done = false;
        Dbscout::CScoutRequest job(std::make_unique<DrainingResponse>(), &receiver, kHandler, url,
                                   nullptr, 0);
        job.Start();
        while (!receiver.done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (job.response()->status != "OK")
            state.SkipWithError("the handler gave no answer");
    }
}

void BM_BareSpawn(benchmark::State& state, const char* url)
{
    for (auto _ : state) {
        int input[2], output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipes");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
        char* argv[] = {const_cast<char*>(kHandler.c_str()), const_cast<char*>(url), nullptr};
        pid_t pid = 0;
        const int error = posix_spawn(&pid, kHandler.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        close(input[1]);
        const Dbscout::OutputBuffer text =
            error == 0 ? Dbscout::ReadAllOutput(output[0]) : Dbscout::OutputBuffer();
        close(output[0]);
        if (error == 0)
            waitpid(pid, nullptr, 0);
        if (!text || !text[0])
            state.SkipWithError("the handler gave no answer");
    }
}

const char* const kPage = "molb://local/db/Alpha?start=0&page=20";
const char* const kMegabyte = "molb://local/db/Alpha?testmode=bytes:1048576";

BENCHMARK_CAPTURE(BM_RequestJob, page, kPage)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BareSpawn, page, kPage)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_RequestJob, megabyte, kMegabyte)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BareSpawn, megabyte, kMegabyte)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
