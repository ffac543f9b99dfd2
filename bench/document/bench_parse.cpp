// Parse throughput of result pages: a page of 120 rows (the largest page the panel asks for)
// and a 50 MB page, read through ResultPage as the request job reads them.
//
//   bench_parse [benchmark flags]            the in-process benchmarks
//   bench_parse --write-rows N FILE          write a generated page of N rows
//   bench_parse --write-bytes N FILE         write a generated page of at least N bytes
//   bench_parse --parse FILE [REPEAT]        parse FILE through ResultPage::Parse REPEAT times
//                                            (for timing against other tools by run.sh)

#include "document/result_page.h"
#include "page_generator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void parseText(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        Dbscout::ResultPage page;
        page.parseText(text.c_str());
        benchmark::DoNotOptimize(page.rows.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_Parse120Rows(benchmark::State& state)
{
    parseText(state, DbscoutTest::GenerateResultPage(120));
}
BENCHMARK(BM_Parse120Rows)->Unit(benchmark::kMicrosecond);

void BM_Parse50MB(benchmark::State& state)
{
    long rows = 0;
    parseText(state, DbscoutTest::GenerateResultPageOfSize(50u << 20, rows));
}
BENCHMARK(BM_Parse50MB)->Unit(benchmark::kMillisecond)->Iterations(5);

int writePage(const std::string& page, const char* path)
{
    std::ofstream out(path, std::ios::binary);
    out << page;
    return out ? 0 : 1;
}

int parseFile(const char* path, int repeat)
{
    size_t rows = 0;
    for (int i = 0; i < repeat; ++i) {
        int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::perror(path);
            return 1;
        }
        Dbscout::ResultPage page;
        page.Parse(fd);
        ::close(fd);
        rows = page.rows.size();
    }
    std::printf("%zu rows\n", rows);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--write-rows") == 0)
        return writePage(DbscoutTest::GenerateResultPage(std::atol(argv[2])), argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--write-bytes") == 0) {
        long rows = 0;
        return writePage(
            DbscoutTest::GenerateResultPageOfSize(std::strtoul(argv[2], nullptr, 10), rows),
            argv[3]);
    }
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--parse") == 0)
        return parseFile(argv[2], argc == 4 ? std::atoi(argv[3]) : 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
