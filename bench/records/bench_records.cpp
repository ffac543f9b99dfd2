// Reading and writing throughput of the record readers on Debian's public sample records, the
// same the tests read: each format's largest sample file read whole (every record, its feature
// locations and residues) and written back. A reader that slows the import of a release file or
// the opening of a long record shows here.
//
//   bench_records [benchmark flags]

#include "import/importer.h"
#include "records/records.h"

#include <benchmark/benchmark.h>

namespace {

namespace Records = Dbscout::Records;

// A sample file's text, inflated as molb-admin import inflates it.
std::string sample(const std::string& path)
{
    std::string text;
    if (!Dbscout::Molb::readRecordFile(path, text).ok())
        text.clear();
    return text;
}

void read(benchmark::State& state, const std::string& path)
{
    const std::string text = sample(path);
    for (auto _ : state) {
        Records::RecordText read;
        if (!Records::readRecords(text, read).ok())
            state.SkipWithError(("cannot read " + path).c_str());
        benchmark::DoNotOptimize(read.entries.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void write(benchmark::State& state, const std::string& path)
{
    Records::RecordText read;
    const std::string text = sample(path);
    if (!Records::readRecords(text, read).ok())
        state.SkipWithError(("cannot read " + path).c_str());
    for (auto _ : state) {
        size_t bytes = 0;
        for (const Records::ReadEntry& entry : read.entries)
            bytes += Records::writeRecord(entry.record).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

const std::string kBiopython = "/usr/share/doc/python-biopython-doc/Tests/";
const std::string kGenBank = kBiopython + "GenBank/NC_005816.gb.gz";
const std::string kEmbl = kBiopython + "EMBL/AE017046.embl.gz";
const std::string kUniProt = kBiopython + "SwissProt/multi_ex.txt.gz";
const std::string kFasta = kBiopython + "GenBank/NC_005816.fna.gz";
const std::string kMedline = kBiopython + "Medline/pubmed_result2.txt.gz";
const std::string kBlast = kBiopython + "Blast/xml_2226_blastp_004.xml.gz";

} // namespace

BENCHMARK_CAPTURE(read, genbank, kGenBank)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(read, embl, kEmbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(read, uniprot, kUniProt)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(read, fasta, kFasta)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(read, medline, kMedline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(read, blast, kBlast)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(write, genbank, kGenBank)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(write, embl, kEmbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
