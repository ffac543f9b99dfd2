// molbench-demo: an example host application with the Dbscout panel embedded.
//
//   molbench-demo [--tour [--screenshot FILE]]
//
// --tour runs the scripted tour over the demo store and exits with its status; --screenshot
// writes the window to FILE at the end of the tour.

#include "demo_window.h"
#include "tour.h"

#include <dbscout/dbscout.h>
#include <dbscout/registry.h>

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The demo's own settings key; the panels keep theirs below it.
constexpr const char* kSettingsKey = "Software\\Dbscout\\MolbenchDemo";

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("molbench-demo");

    QCommandLineParser parser;
    parser.setApplicationDescription("Example host of the Dbscout panel");
    parser.addHelpOption();
    const QCommandLineOption tour("tour", "Run the scripted tour of the demo store and exit.");
    const QCommandLineOption screenshot("screenshot", "Write the window to <file>.", "file");
    parser.addOption(tour);
    parser.addOption(screenshot);
    parser.process(app);

    InitScoutpaneDLL();
    Dbscout::RegKey settings;
    if (settings.create(HKEY_CURRENT_USER, kSettingsKey) != ERROR_SUCCESS)
        std::fprintf(stderr,
                     "molbench-demo: cannot open the settings store; settings will not be kept\n");

    int status = 0;
    {
        DemoWindow window(settings.get());
        window.resize(1280, 800);
        window.show();
        window.activateWindow();
        Tour* guide = nullptr;
        if (parser.isSet(tour)) {
            guide = new Tour(window, parser.value(screenshot));
            QObject::connect(guide, &Tour::finished, &app, [&](int result) {
                status = result;
                app.quit();
            });
            guide->start();
        }
        const int loop = app.exec();
        delete guide;
        status = status ? status : loop;
    }
    return status;
}
