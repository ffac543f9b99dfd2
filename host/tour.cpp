#include "tour.h"

#include "demo_window.h"
#include "panel_driving.h"
#include "panel_frame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace PanelDriving;

namespace {

// A step that is still running after this long is hung (for example in a modal loop nobody
// ends); the whole tour then fails instead of waiting forever.
constexpr unsigned kStepLimitSeconds = 180;

void onStepTimeout(int)
{
    static const char message[] = "tour: a step did not finish in time\n";
    [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, message, sizeof message - 1);
    _exit(1);
}

} // namespace

Tour::Tour(DemoWindow& window, QString screenshot)
    : m_window(window), m_screenshot(std::move(screenshot))
{
    m_boxes = new QTimer(this);
    connect(m_boxes, &QTimer::timeout, this, &Tour::answerMessageBoxes);
    m_boxes->start(20);
    m_ready = new QTimer(this);
    connect(m_ready, &QTimer::timeout, this, [this] {
        auto* sources = m_window.panelFrame()->control<QComboBox>(Dbscout::IDC_DATASOURCE);
        const bool listed = sources && sources->count() > 0;
        // Without sources after a while the first step starts anyway, and says what is missing.
        if (QApplication::activeModalWidget() || (!listed && m_waiting.elapsed() < kWaitMs))
            return;
        m_ready->stop();
        emit finished(run());
    });
    std::signal(SIGALRM, onStepTimeout);
}

void Tour::start()
{
    m_waiting.start();
    m_ready->start(50);
}

int Tour::run()
{
    m_window.setDataType(0);
    const QString source = QStringLiteral("Demo database (%1)");
    const bool passed =
        runStep("start", [this] { return startStep(); }) &&
        runStep("list a subset", [this] { return listSubsetStep(); }) &&
        runStep("page", [this] { return pageStep(); }) &&
        runStep("sort", [this] { return sortStep(); }) &&
        runStep("open several rows", [this] { return openSeveralStep(); }) &&
        runStep("pick and fetch", [this] { return pickStep(); }) &&
        runStep("save a copy", [this] { return saveStep(false); }) &&
        runStep("save it again", [this] { return saveStep(true); }) &&
        runStep("list the saved copy", [this] { return listSavedStep(); }) &&
        runStep("open a citation",
                [&] { return openKindStep(source.arg("Citation"), "MAIN", "citation PMID"); }) &&
        runStep("open a BLAST result",
                [&] {
                    return openKindStep(source.arg("Blast"), "Demo BLAST runs", "blastp report");
                }) &&
        runStep("open an NCBI record", [this] { return ncbiStep(); }) &&
        runStep("open one with \"cc: to Local DB\"", [this] { return copyFromNcbiStep(); }) &&
        runStep("see where copies go", [this] { return whereCopiesGoStep(); }) &&
        runStep("list the local copy", [this] { return listLocalCopyStep(); }) &&
        runStep("set an e-mail for NCBI", [this] { return webSourcesStep(); }) &&
        runStep("screenshot", [this] { return screenshotStep(); });
    std::printf(passed ? "tour: every step worked\n" : "tour: FAILED\n");
    std::fflush(stdout);
    return passed ? 0 : 1;
}

bool Tour::runStep(const QString& name, const Step& step)
{
    m_failure.clear();
    m_unexpected.clear();
    alarm(kStepLimitSeconds);
    const QString seen = step();
    alarm(0);
    if (m_failure.isEmpty() && !m_unexpected.isEmpty())
        m_failure =
            QStringLiteral("unexpected message: ") + m_unexpected.join(QLatin1String(" / "));
    if (m_failure.isEmpty())
        std::printf("tour: %s: %s\n", qPrintable(name), qPrintable(seen));
    else
        std::printf("tour: %s FAILED: %s%s%s\n", qPrintable(name), qPrintable(m_failure),
                    seen.isEmpty() ? "" : " (saw: ", seen.isEmpty() ? "" : qPrintable(seen + ")"));
    std::fflush(stdout);
    return m_failure.isEmpty();
}

bool Tour::check(bool condition, const QString& failure)
{
    if (!condition && m_failure.isEmpty())
        m_failure = failure;
    return condition;
}

bool Tour::waitForPanel(PanelFrame& frame)
{
    return check(waitUntilBuilt(frame, kWaitMs), "the panel was not built or lists no data source");
}

void Tour::chooseSource(PanelFrame& frame, const QString& text)
{
    check(PanelDriving::chooseSource(frame, text, kWaitMs),
          "no data source \"" + text + "\", or its listing did not finish");
}

QString Tour::list(PanelFrame& frame, const QString& query)
{
    if (!m_failure.isEmpty())
        return {};
    check(PanelDriving::list(frame, query, kWaitMs), "listing " + query + " did not finish");
    return shown(frame);
}

void Tour::openRow(PanelFrame& frame, int row)
{
    if (!m_failure.isEmpty())
        return;
    QSignalSpy opened(&m_window, &DemoWindow::objectShown);
    clickRow(frame, row, true);
    check(!opened.isEmpty() || opened.wait(kWaitMs),
          "double-clicking " + rowNames(frame).value(row) + " opened nothing");
}

QString Tour::shown(PanelFrame& frame) const
{
    return PanelDriving::shown(frame);
}

void Tour::trigger(const QString& text)
{
    // A menu item, as the user clicks it.
    for (QAction* action : m_window.findChildren<QAction*>()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    check(false, "no menu item " + text);
}

void Tour::answerMessageBoxes()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    const QString text = box->text();
    std::printf("tour: message \"%s\": %s\n", qPrintable(box->windowTitle()), qPrintable(text));
    if (!m_answerText.isEmpty() && text.contains(m_answerText) && box->button(QMessageBox::Yes)) {
        ++m_answered;
        box->button(QMessageBox::Yes)->click();
        return;
    }
    m_unexpected << text;
    box->done(QMessageBox::Ok);
}
