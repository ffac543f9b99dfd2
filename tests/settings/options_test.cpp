// The option record against a real settings store, and the Options dialog with its two pages as
// real widgets: what each server version lets the user change, and what OK and Cancel keep.
// Options are written as their six numbers: check in on save, check out on open, the same two
// for descendants, recalculation on save, leave on error.

#include "settings/options_dialog.h"
#include "settings/options_pages.h"
#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

using Dbscout::PanelOptions;
using DbscoutTest::ScriptedModal;

namespace {

PanelOptions opts(const QString& numbers)
{
    const QStringList n = numbers.split(' ');
    return {n[0].toUInt(), n[1].toUInt(), n[2].toUInt(),
            n[3].toUInt(), n[4].toUInt(), n[5].toUInt()};
}

QString describe(const PanelOptions& o)
{
    return QString("%1 %2 %3 %4 %5 %6")
        .arg(o.CHECKIN_ON_SAVE)
        .arg(o.CHECKOUT_ON_OPEN)
        .arg(o.CHECKIN_ON_SAVE_DESC)
        .arg(o.CHECKOUT_ON_OPEN_DESC)
        .arg(o.ON_SAVE_RECALC_DESC)
        .arg(o.ON_SAVE_LEAVE_ON_ERROR);
}

QAbstractButton* control(QDialog* dialog, int id)
{
    auto* button = dialog->findChild<QAbstractButton*>(QString::number(id));
    if (!button)
        qFatal("control %d missing", id);
    return button;
}

// Answers the dialog by clicking the given controls, then OK (1) or Cancel (2).
ScriptedModal::DialogAnswer clickThen(QList<int> ids, int closingButton)
{
    return [ids, closingButton](QDialog* dialog) {
        for (int id : ids)
            control(dialog, id)->click();
        control(dialog, closingButton)->click();
        return dialog->result();
    };
}

} // namespace

class OptionsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<DbscoutTest::TestEnv> m_env;
    Dbscout::RegKey m_settings;

    HKEY settings() const { return m_settings.get(); }

    QString stored()
    {
        PanelOptions options;
        options.ON_SAVE_RECALC_DESC = 99; // a missing value would show as 99
        Dbscout::RegKey key;
        if (key.open(settings(), "SCOUTPANE_OPTIONS_KEY") == ERROR_SUCCESS)
            Dbscout::LoadOptions(settings(), options);
        return describe(options);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<DbscoutTest::TestEnv>();
        QCOMPARE(m_settings.create(HKEY_CURRENT_USER, "Software\\Molbench\\Scout"), ERROR_SUCCESS);
    }
    void cleanup()
    {
        m_settings.reset();
        m_env.reset();
    }

    void storedValuesAreSixDwordsAndOthersLeaveTheirField()
    {
        PanelOptions options;
        QVERIFY(Dbscout::LoadOptions(settings(), options));
        QCOMPARE(describe(options), QString("0 0 0 0 1 0")); // an empty store keeps the defaults

        QVERIFY(Dbscout::SaveOptions(settings(), opts("7 0 1 3 4294967295 42"))); // kept as is
        QCOMPARE(stored(), QString("7 0 1 3 4294967295 42"));
        Dbscout::RegKey key;
        QCOMPARE(key.open(settings(), "SCOUTPANE_OPTIONS_KEY", KEY_ALL_ACCESS), ERROR_SUCCESS);
        for (const char* name :
             {"CHECKIN_ON_SAVE", "CHECKOUT_ON_OPEN", "CHECKIN_ON_SAVE_DESC",
              "CHECKOUT_ON_OPEN_DESC", "ON_SAVE_RECALC_DESC", "ON_SAVE_LEAVE_ON_ERROR"}) {
            DWORD type = REG_NONE;
            QCOMPARE(RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, nullptr),
                     ERROR_SUCCESS);
            QCOMPARE(type, DWORD(REG_DWORD));
        }

        // Read through a four-byte buffer: a shorter number fills its low bytes, a longer one
        // does not fit; another type is no number.
        const std::tuple<DWORD, QByteArray, int> stored[] = {
            {REG_SZ, QByteArray("2", 2), 1},
            {REG_BINARY, QByteArray("\x02\0\0\0", 4), 1},
            {REG_DWORD, QByteArray("\x02", 1), 2},
            {REG_DWORD, QByteArray("\x02\0\0\0\0\0\0\0", 8), 1},
        };
        for (const auto& [type, bytes, read] : stored) {
            QCOMPARE(RegSetValueExA(key.get(), "ON_SAVE_RECALC_DESC", 0, type,
                                    reinterpret_cast<const BYTE*>(bytes.constData()),
                                    DWORD(bytes.size())),
                     ERROR_SUCCESS);
            PanelOptions loaded;
            QVERIFY(Dbscout::LoadOptions(settings(), loaded));
            QCOMPARE(describe(loaded), QString("7 0 1 3 %1 42").arg(read));
        }
    }

    // The pages and the sheet in the place of its frame carry their ids; an empty store shows
    // "Do not recalculate" and "Leave it unprocessed".
    void theDialogsPartsCarryTheirIdsAndShowTheDefaults()
    {
        ScriptedModal modal;
        QStringList seen;
        modal.answerNextDialog([&seen](QDialog* dialog) {
            seen << QString::number(dialog->findChild<QTabWidget*>("6935") &&
                                    dialog->findChild<Dbscout::COptionsCheckoutPP*>("6933") &&
                                    dialog->findChild<Dbscout::COptionsSavePP*>("6932"));
            for (int id : {1195, 1196, 1197, 1198, 1199})
                if (control(dialog, id)->isChecked())
                    seen << QString::number(id);
            return int(QDialog::Rejected);
        });
        PanelOptions options;
        Dbscout::runOptionsDialog(nullptr, settings(), 3, options);
        QCOMPARE(seen, QStringList({"1", "1197", "1198"}));
    }

    void nullSettingsKeyChangesNothing()
    {
        PanelOptions options = opts("1 0 1 0 2 1");
        QVERIFY(!Dbscout::LoadOptions(nullptr, options));
        QVERIFY(!Dbscout::SaveOptions(nullptr, options));
        QCOMPARE(describe(options), QString("1 0 1 0 2 1"));

        // The dialog still runs and OK still changes the record; nothing can be stored.
        ScriptedModal modal;
        modal.answerNextDialog(clickThen({6926}, 1));
        Dbscout::runOptionsDialog(nullptr, nullptr, 3, options);
        QCOMPARE(modal.dialogsShown(), 1);
        QCOMPARE(describe(options), QString("1 1 1 0 2 1"));
        QVERIFY(modal.messages().empty());
    }

    // Clicks on controls the version disables change nothing; values no button names are kept.
    void okTakesWhatTheVersionAllowsAndCancelReloads()
    {
        const std::tuple<int, QString, QList<int>, int, QString> cases[] = {
            // version, stored before, clicks, closing button, record and store after
            {2, "0 0 1 1 2 1", {6926, 6927}, 1, "1 1 1 1 2 1"}, // keeps descendant and save values
            {1, "0 0 1 1 2 1", {6926, 6931, 1196}, 1, "0 0 1 1 2 1"},
            {3, "0 0 1 1 2 1", {6931, 6932, 1195, 1198}, 1, "0 0 0 0 0 0"},
            {3, "0 0 0 0 7 1", {1198}, 1, "0 0 0 0 7 0"}, // keeps a value no button names
            {3, "0 1 0 1 0 1", {6926, 6927, 6931, 1196}, 2, "0 1 0 1 0 1"}, // Cancel
            {3, "0 1 0 1 0 1", {}, 0, "0 1 0 1 0 1"},                       // dialog closed
        };
        for (const auto& [version, before, clicks, closing, after] : cases) {
            QVERIFY(Dbscout::SaveOptions(settings(), opts(before)));
            PanelOptions options = opts("1 1 1 1 1 1"); // unsaved changes, replaced on opening
            ScriptedModal modal;
            if (closing)
                modal.answerNextDialog(clickThen(clicks, closing));
            Dbscout::runOptionsDialog(nullptr, settings(), version, options);
            QCOMPARE(modal.dialogsShown(), 1);
            QCOMPARE(describe(options), after);
            QCOMPARE(stored(), after);
        }
    }

    // "Do not recalculate" (1197) and "Disconnect" (1196) each show their stored value and store
    // it when clicked, from the other one.
    void recalculationButtonsShowAndStoreTheirValuesBothWays()
    {
        const std::tuple<QString, int, int, QString> cases[] = {
            // stored before, button shown checked, button clicked, stored after
            {"0 0 0 0 2 0", 1196, 1197, "0 0 0 0 1 0"},
            {"0 0 0 0 1 0", 1197, 1196, "0 0 0 0 2 0"},
        };
        for (const auto& [before, shown, clicked, after] : cases) {
            QVERIFY(Dbscout::SaveOptions(settings(), opts(before)));
            PanelOptions options;
            ScriptedModal modal;
            bool shownChecked = false;
            modal.answerNextDialog([&, shown = shown, clicked = clicked](QDialog* dialog) {
                shownChecked =
                    control(dialog, shown)->isChecked() && !control(dialog, clicked)->isChecked();
                return clickThen({clicked}, 1)(dialog);
            });
            Dbscout::runOptionsDialog(nullptr, settings(), 3, options);
            QVERIFY2(shownChecked, qPrintable(before));
            QCOMPARE(describe(options), after);
            QCOMPARE(stored(), after);
        }
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
