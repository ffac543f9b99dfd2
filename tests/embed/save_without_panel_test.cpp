// A host that saves without ever making a panel: InitScoutpaneDLL is all it calls before
// SaveObject, and the "Saving..." dialog still shows its animation. A process of its own, so that
// no panel (which also readies the resources) ran before.

#include "support/handler_registration.h"
#include "support/scripted_modal.h"
#include "support/test_env.h"

#include "resources/ids.h"

#include <dbscout/dbscout.h>

#include <QDialog>
#include <QLabel>
#include <QMovie>
#include <QTest>

class SaveWithoutPanelTest : public QObject
{
    Q_OBJECT
private slots:
    void savingDialogPlaysItsAnimationInAProcessWithoutPanels()
    {
        DbscoutTest::TestEnv env;
        DbscoutTest::ScriptedModal modal;
        QVERIFY(DbscoutTest::registerTestHandler("molb", "put"));
        InitScoutpaneDLL();

        bool playing = false;
        modal.answerNextDialog([&playing](QDialog* dialog) {
            const auto* animation =
                dialog->findChild<QLabel*>(QString::number(Dbscout::IDC_SAVING_ANIMATION));
            const QMovie* movie = animation ? animation->movie() : nullptr;
            playing = movie && movie->isValid() && movie->state() == QMovie::Running &&
                      movie->frameCount() > 1;
            return dialog->exec();
        });
        std::string name = "pUC19";
        int exists = 0;
        const std::string url = "molb://local/db/dnarna/MAIN/pUC19?fixture=save-ok";
        QCOMPARE(SaveObject(name, "pUC19.gb", url.c_str(), "ACGT", 4, exists, nullptr), 1);
        QVERIFY(playing);
        QVERIFY(modal.messages().empty());
    }
};

QTEST_MAIN(SaveWithoutPanelTest)
#include "save_without_panel_test.moc"
