// molbench-demo: an example host application with the Dbscout panel embedded.
//
//   molbench-demo [--exit-after-paint] [--screenshot FILE]
//
// --exit-after-paint closes the window once it has been painted (used by CI to prove that the
// window comes up); --screenshot writes the painted window to FILE first.

#include "demo_window.h"

#include <dbscout/registry.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

// Without anyone to answer them, message boxes are printed and dismissed, so that a headless
// run never waits on a window.
void dismissMessageBoxes(QApplication& app)
{
    auto* timer = new QTimer(&app);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::printf("molbench-demo: message \"%s\": %s\n", qPrintable(box->windowTitle()),
                        qPrintable(box->text()));
            box->done(QMessageBox::Ok);
        }
    });
    timer->start(20);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("molbench-demo");

    QCommandLineParser parser;
    parser.setApplicationDescription("Example host of the Dbscout panel");
    parser.addHelpOption();
    QCommandLineOption exitAfterPaint("exit-after-paint", "Quit once the window has been painted.");
    QCommandLineOption screenshot("screenshot", "Write the painted window to <file>.", "file");
    parser.addOption(exitAfterPaint);
    parser.addOption(screenshot);
    parser.process(app);

    if (parser.isSet(exitAfterPaint))
        dismissMessageBoxes(app);
    InitScoutpaneDLL();
    Dbscout::RegKey settings;
    if (settings.create(HKEY_CURRENT_USER, "Software\\Dbscout\\MolbenchDemo") != ERROR_SUCCESS)
        std::fprintf(stderr, "molbench-demo: cannot open the settings store; settings will not be kept\n");

    int status = 0;
    {
        DemoWindow window(settings.get());
        window.resize(1280, 800);
        window.show();
        if (parser.isSet(exitAfterPaint) || parser.isSet(screenshot)) {
            QTimer::singleShot(500, &window, [&] { // after any start-up message box
                window.repaint();
                if (parser.isSet(screenshot) && !window.grab().save(parser.value(screenshot))) {
                    std::fprintf(stderr, "molbench-demo: cannot write %s\n",
                                 qPrintable(parser.value(screenshot)));
                    status = 1;
                }
                app.quit();
            });
        }
        const int loop = app.exec();
        status = status ? status : loop;
    }
    return status;
}
