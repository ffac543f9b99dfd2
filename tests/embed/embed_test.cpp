// The embedding interface as a host uses it: exported functions, lazy panel creation on the
// first resize, the controls by their ids, the check box and the teardown.

#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <dbscout/dbscout.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using DbscoutTest::ScriptedModal;
using DbscoutTest::TestEnv;

namespace {

const QString kPlaceholder = "Please enter a Subset/Query and press \"Go\""; // string 6961

QWidget* control(QWidget* panel, int id)
{
    return panel->findChild<QWidget*>(QString::number(id));
}

// Counts the queued calls an object receives.
class PostedCallCount final : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::MetaCall;
        return false;
    }
};

} // namespace

class EmbedTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedModal> m_modal;
    std::unique_ptr<QWidget> m_host;
    HKEY m_settings = nullptr;

    CDbscout* createPanel()
    {
        CDbscout* panel = CreateScoutpane("", m_settings, 1, 0, 0, 0);
        if (panel)
            panel->Create(m_host.get(), QRect(0, 0, 10, 10), 77, WS_CHILD | WS_VISIBLE);
        return panel;
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_modal = std::make_unique<ScriptedModal>();
        m_host = std::make_unique<QWidget>();
        m_host->resize(800, 600);
        m_host->show();
        QVERIFY(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\EmbedTest", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &m_settings, nullptr) == ERROR_SUCCESS);
        InitScoutpaneDLL();
    }

    void cleanup()
    {
        m_host.reset();
        RegCloseKey(m_settings);
        m_modal.reset();
        m_env.reset();
    }

    void panelIsBuiltOnFirstResizeWithItsControls()
    {
        CDbscout* panel = createPanel();
        QCOMPARE(panel->parentWidget(), m_host.get());
        panel->resize(640, 480);
        for (int id : {6913, 6914, 6909, 6901, 6996, 6999, 6920})
            QVERIFY2(control(panel, id), qPrintable(QString("control %1 missing").arg(id)));
        QVERIFY(qobject_cast<QComboBox*>(control(panel, 6913))->isEditable());
        QVERIFY(qobject_cast<QComboBox*>(control(panel, 6914))->isEditable());
        QVERIFY(!control(panel, 6920)->isVisibleTo(panel)); // hidden until the host asks

        auto* list = qobject_cast<QTreeWidget*>(control(panel, 6996));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), kPlaceholder);
        QVERIFY(list->topLevelItem(0)->data(0, Qt::UserRole).isNull());

        // A second resize moves the same panel; it does not build another.
        QWidget* inner = list->parentWidget();
        panel->resize(900, 620);
        QCOMPARE(control(panel, 6996)->parentWidget(), inner);
        QCOMPARE(panel->findChildren<QTreeWidget*>().size(), 1);
        DeleteScoutpane(panel);
    }

    void missingHandlersAreReportedOnceAndThePanelStaysUsable()
    {
        CDbscout* panel = createPanel();
        panel->resize(500, 300);
        const auto& shown = m_modal->messages();
        QCOMPARE(int(shown.size()), 2);
        QCOMPARE(shown[0].text, QString("MOLB registered protocol not found"));
        QCOMPARE(shown[1].text, QString("NCBI registered protocol not found"));
        for (const auto& message : shown) {
            QCOMPARE(message.caption, QString("Dbscout error"));
            QCOMPARE(message.icon, QMessageBox::Critical);
        }
        panel->resize(520, 320); // no second report
        QCOMPARE(int(shown.size()), 2);
        auto* name = qobject_cast<QLineEdit*>(control(panel, 6999));
        QTest::keyClicks(name, "seq1");
        QCOMPARE(name->text(), QString("seq1"));
        DeleteScoutpane(panel);
    }

    void checkBoxAddsStylesAndNeverRemovesThem()
    {
        CDbscout* panel = createPanel();
        panel->resize(600, 400);
        QCOMPARE(panel->IsBoxChecked(), FALSE);
        auto* box = qobject_cast<QCheckBox*>(control(panel, 6920));
        QVERIFY(!box->isVisibleTo(panel));

        panel->CheckBox(2);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isEnabled());
        QCOMPARE(panel->IsBoxChecked(), FALSE);

        panel->CheckBox(1);
        QVERIFY(!box->isEnabled());
        QCOMPARE(panel->IsBoxChecked(), TRUE);
        QCOMPARE(box->text(), QString("&cc: to Local DB"));
        DeleteScoutpane(panel);
    }

    // Before Create, right after it, after a size of the hidden window (a window gets its first
    // size only when shown), and in a shown host before the event loop ran, the panel is not
    // built yet: no member may reach for it.
    void membersBeforeThePanelIsBuiltDoNothing_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("size");
        QTest::addColumn<DWORD>("style");
        QTest::newRow("before Create") << false << false << DWORD(WS_CHILD);
        QTest::newRow("after Create") << true << false << DWORD(WS_CHILD);
        QTest::newRow("after a size while hidden") << true << true << DWORD(WS_CHILD);
        QTest::newRow("shown before the event loop")
            << true << false << DWORD(WS_CHILD | WS_VISIBLE);
    }
    void membersBeforeThePanelIsBuiltDoNothing()
    {
        QFETCH(bool, create);
        QFETCH(bool, size);
        QFETCH(DWORD, style);
        CDbscout* panel = CreateScoutpane("", m_settings, 1, 0, 0, 0);
        if (create)
            QVERIFY(panel->Create(m_host.get(), QRect(0, 0, 10, 10), 77, style));
        if (size)
            panel->resize(640, 480);
        QVERIFY2(!control(panel, 6996), "built too early for this test");

        panel->Refresh();
        panel->Stop();
        std::string url = "unchanged", name;
        int flag = 7;
        QCOMPARE(panel->GetURL(url, flag, name), FALSE);
        QCOMPARE(flag, 0);
        QCOMPARE(url, std::string("unchanged"));
        QCOMPARE(panel->IsBoxChecked(), FALSE);

        // Once built, the panel starts as ever: nothing ran before.
        if (!create)
            QVERIFY(panel->Create(m_host.get(), QRect(0, 0, 10, 10), 77, style));
        panel->show();
        QVERIFY(QTest::qWaitFor([panel] { return control(panel, 6996) != nullptr; }));
        auto* list = qobject_cast<QTreeWidget*>(control(panel, 6996));
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), kPlaceholder);
        DeleteScoutpane(panel);
    }

    // A host that shows its window and hides it again before its event loop runs: the panel
    // waits for the next show without a stream of posted calls (which kept a processor busy),
    // and is built at that show.
    void aWindowHiddenBeforeTheEventLoopWaitsQuietlyForItsNextShow()
    {
        CDbscout* panel = CreateScoutpane("", m_settings, 1, 0, 0, 0);
        PostedCallCount calls;
        panel->installEventFilter(&calls);
        QVERIFY(panel->Create(m_host.get(), QRect(0, 0, 600, 400), 77, WS_CHILD | WS_VISIBLE));
        m_host->hide();
        QTest::qWait(1000);
        QVERIFY2(calls.count <= 1, qPrintable(QString("%1 posted calls").arg(calls.count)));
        QVERIFY(!control(panel, 6996));

        m_host->show();
        QVERIFY(QTest::qWaitFor([panel] { return control(panel, 6996) != nullptr; }));
        QCOMPARE(control(panel, 6996)->parentWidget()->size(), QSize(600, 400));
        DeleteScoutpane(panel);
    }

    // A host sets the box up before it shows its window; Qt builds the panel at the first show,
    // which must still honour it.
    void checkBoxAskedBeforeTheHostShowsIsAppliedWhenThePanelIsBuilt()
    {
        auto host = std::make_unique<QWidget>();
        host->resize(800, 600);
        CDbscout* panel = CreateScoutpane("", m_settings, 1, 0, 0, 0);
        panel->CheckBox(1); // before Create there is no window: nothing
        QCOMPARE(panel->IsBoxChecked(), FALSE);
        QVERIFY(panel->Create(host.get(), QRect(0, 0, 600, 400), 77, WS_CHILD | WS_VISIBLE));
        panel->resize(600, 400);
        panel->CheckBox(2);
        panel->CheckBox(1);
        QCOMPARE(panel->IsBoxChecked(), TRUE);
        QVERIFY(!control(panel, 6920));

        host->show();
        QVERIFY(QTest::qWaitFor([panel] { return control(panel, 6920) != nullptr; }));
        auto* box = qobject_cast<QCheckBox*>(control(panel, 6920));
        QVERIFY(box->isVisible());
        QVERIFY(box->isChecked());
        QVERIFY(!box->isEnabled()); // CheckBox(2) disabled it for good
        QCOMPARE(panel->IsBoxChecked(), TRUE);
        // Laid out for a shown box: the name box stops short of it.
        QVERIFY(control(panel, 6999)->geometry().right() < box->geometry().left());
        box->click();                          // the user's click counts from now on
        QCOMPARE(panel->IsBoxChecked(), TRUE); // disabled: the click changes nothing
        DeleteScoutpane(panel);
    }

    // A panel the host made with new, null, and a panel the host's window already took with it.
    void deleteScoutpaneDeletesAnyPanelAndAcceptsTheGoneOnes()
    {
        QPointer<CDbscout> made = new CDbscout("", m_settings, 1, 0, 0, 0);
        QVERIFY(made->Create(m_host.get(), QRect(0, 0, 10, 10), 77, WS_CHILD | WS_VISIBLE));
        made->resize(500, 300);
        QVERIFY(control(made, 6996));
        DeleteScoutpane(made);
        QVERIFY(made.isNull());
        QVERIFY(m_host->findChildren<CDbscout*>().isEmpty());

        DeleteScoutpane(nullptr);
        CDbscout* panel = createPanel();
        panel->resize(300, 200);
        m_host.reset();
        DeleteScoutpane(panel);
        m_host = std::make_unique<QWidget>();
    }
};

QTEST_MAIN(EmbedTest)
#include "embed_test.moc"
