#pragma once
// The scripted tour of a headless run: drives the real panel through the demo window the way a
// user would (choosing sources, typing, clicking, paging, sorting, several rows opened together,
// double clicks, the save dialog, the "cc: to Local DB" box and where its copies go, the web
// sources' settings), prints one line of what the panel showed at each step and checks it. The
// store is the one scripts/make-demo-store builds.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class DemoWindow;
class PanelFrame;
class QTimer;

class Tour final : public QObject
{
    Q_OBJECT

public:
    // screenshot: where to write the window at the end (empty for none).
    Tour(DemoWindow& window, QString screenshot);

    // Starts the tour once the window's panel is up and no message box is open, so that every
    // step runs from the application's own event loop and never inside a box's loop.
    void start();

signals:
    // The process exit status: 0 when every step worked.
    void finished(int status);

private:
    static constexpr int kWaitMs = 30000;

    int run();
    // A step returns what it saw; a failed check leaves its reason in m_failure.
    using Step = std::function<QString()>;
    bool runStep(const QString& name, const Step& step);
    bool check(bool condition, const QString& failure);

    QString startStep();
    QString listSubsetStep();
    QString pageStep();
    QString sortStep();
    QString openSeveralStep();
    QString pickStep();
    QString saveStep(bool expectExisting);
    QString listSavedStep();
    QString openKindStep(const QString& source, const QString& query, const QString& expected);
    QString ncbiStep();
    QString copyFromNcbiStep();
    QString whereCopiesGoStep();
    QString listLocalCopyStep();
    QString webSourcesStep();
    QString screenshotStep();

    // Panel driving, as a user does it.
    bool waitForPanel(PanelFrame& frame);
    void chooseSource(PanelFrame& frame, const QString& text);
    QString list(PanelFrame& frame, const QString& query);
    void openRow(PanelFrame& frame, int row);
    QString shown(PanelFrame& frame) const;

    void trigger(const QString& menuItem);
    void answerMessageBoxes();

    DemoWindow& m_window;
    QString m_screenshot;
    QTimer* m_boxes = nullptr;
    QTimer* m_ready = nullptr;
    QElapsedTimer m_waiting;
    QString m_answerText;     // a question whose text holds this is answered Yes
    int m_answered = 0;       // questions answered so far
    QStringList m_unexpected; // message boxes nobody expected
    QString m_savedName;
    QByteArray m_ncbiBytes; // the record NCBI's stand-in served, copied with the box
    QString m_copyName;
    QString m_failure; // of the current step
};
