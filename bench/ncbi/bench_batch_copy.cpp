// A multi-selection opened (and with "copy" copied) by the example host's own batch code: the
// records fetched by the ncbi handler in runs of many, the copies saved in batch saves of the
// molb handler into the first configured data source that saves into the local store, as
// molbench-demo does with "cc: to Local DB" checked. No window shows (bench/ncbi/run.sh runs it
// under the offscreen platform).
//
// usage: bench_batch_copy URL open|copy [RECORDS_FILE]
// Prints the batch's summary and its wall time in milliseconds; RECORDS_FILE receives the
// records opened, one after another, for molb-admin import to store the same records.

#include "local_copier.h"
#include "record_batch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3 || (std::strcmp(argv[2], "open") != 0 && std::strcmp(argv[2], "copy") != 0)) {
        std::fprintf(stderr, "usage: bench_batch_copy URL open|copy [RECORDS_FILE]\n");
        return 2;
    }
    QFile records(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    if (argc > 3 && !records.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_batch_copy: cannot write %s\n", argv[3]);
        return 2;
    }
    QWidget window;
    LocalCopier copier(nullptr, &window);
    RecordBatch batch(copier, &window);
    QObject::connect(&batch, &RecordBatch::opened, &window,
                     [&](size_t, const QByteArray& bytes, const std::string&) {
                         if (records.isOpen())
                             records.write(bytes);
                     });
    QElapsedTimer timer;
    qint64 elapsed = 0;
    QObject::connect(&batch, &RecordBatch::finished, &app, [&] {
        elapsed = timer.elapsed();
        app.quit();
    });
    timer.start();
    batch.start(argv[1], std::strcmp(argv[2], "copy") == 0);
    app.exec();
    std::printf("%s %lld\n", batch.summary().toLocal8Bit().constData(), (long long)elapsed);
    return 0;
}
