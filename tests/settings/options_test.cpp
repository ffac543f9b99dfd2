// The option record against a real settings store, and the Options dialog with its two pages as
// real widgets: what each server version lets the user change, and what OK and Cancel keep.

#include "settings/options_dialog.h"
#include "settings/options_pages.h"
#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

using Dbscout::PanelOptions;
using DbscoutTest::ScriptedModal;
using DbscoutTest::TestEnv;

Q_DECLARE_METATYPE(PanelOptions)

namespace {

constexpr const char* kFields[] = {"CHECKIN_ON_SAVE",      "CHECKOUT_ON_OPEN",
                                   "CHECKIN_ON_SAVE_DESC", "CHECKOUT_ON_OPEN_DESC",
                                   "ON_SAVE_RECALC_DESC",  "ON_SAVE_LEAVE_ON_ERROR"};
constexpr int kCheckIds[] = {6926, 6927, 6931, 6932};
constexpr int kRadioIds[] = {1195, 1196, 1197, 1198, 1199};

PanelOptions make(uint32_t checkin, uint32_t checkout, uint32_t checkinDesc, uint32_t checkoutDesc,
                  uint32_t recalc, uint32_t leave)
{
    return {checkin, checkout, checkinDesc, checkoutDesc, recalc, leave};
}

QString describe(const PanelOptions& o)
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(o.CHECKIN_ON_SAVE)
        .arg(o.CHECKOUT_ON_OPEN)
        .arg(o.CHECKIN_ON_SAVE_DESC)
        .arg(o.CHECKOUT_ON_OPEN_DESC)
        .arg(o.ON_SAVE_RECALC_DESC)
        .arg(o.ON_SAVE_LEAVE_ON_ERROR);
}

template <typename Button> Button* control(QDialog* dialog, int id)
{
    auto* button = dialog->findChild<Button*>(QString::number(id));
    if (!button)
        qFatal("control %d missing", id);
    return button;
}

// Answers the dialog by clicking the given controls, then OK (1) or Cancel (2).
ScriptedModal::DialogAnswer clickThen(QList<int> ids, int closingButton)
{
    return [ids, closingButton](QDialog* dialog) {
        for (int id : ids)
            control<QAbstractButton>(dialog, id)->click();
        control<QPushButton>(dialog, closingButton)->click();
        return dialog->result();
    };
}

} // namespace

class OptionsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;
    Dbscout::RegKey m_settings;

    HKEY settings() const { return m_settings.get(); }

    PanelOptions stored()
    {
        PanelOptions options;
        options.ON_SAVE_RECALC_DESC = 99; // a missing value would show as 99
        Dbscout::RegKey key;
        if (key.open(settings(), "SCOUTPANE_OPTIONS_KEY") != ERROR_SUCCESS)
            return options;
        Dbscout::LoadOptions(settings(), options);
        return options;
    }

    void setRaw(const char* name, DWORD type, const QByteArray& bytes)
    {
        Dbscout::RegKey key;
        QCOMPARE(key.create(settings(), "SCOUTPANE_OPTIONS_KEY"), ERROR_SUCCESS);
        QCOMPARE(RegSetValueExA(key.get(), name, 0, type,
                                reinterpret_cast<const BYTE*>(bytes.constData()),
                                DWORD(bytes.size())),
                 ERROR_SUCCESS);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        QCOMPARE(m_settings.create(HKEY_CURRENT_USER, "Software\\Molbench\\Scout"), ERROR_SUCCESS);
    }
    void cleanup()
    {
        m_settings.reset();
        m_env.reset();
    }

    void emptyStoreKeepsDefaults()
    {
        PanelOptions options;
        QVERIFY(Dbscout::LoadOptions(settings(), options));
        QCOMPARE(describe(options), QStringLiteral("0 0 0 0 1 0"));
    }

    void savedValuesComeBackAsSixDwords()
    {
        const PanelOptions options = make(7, 0, 1, 3, 0xFFFFFFFF, 42); // out of range is kept
        QVERIFY(Dbscout::SaveOptions(settings(), options));
        QCOMPARE(describe(stored()), describe(options));

        Dbscout::RegKey key;
        QCOMPARE(key.open(settings(), "SCOUTPANE_OPTIONS_KEY"), ERROR_SUCCESS);
        DWORD values = 0;
        QCOMPARE(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  &values, nullptr, nullptr, nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(values, DWORD(6));
        for (const char* name : kFields) {
            DWORD type = REG_NONE;
            QCOMPARE(RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, nullptr),
                     ERROR_SUCCESS);
            QCOMPARE(type, DWORD(REG_DWORD));
        }
    }

    void unusableStoredValuesLeaveTheirField_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("string") << int(REG_SZ) << QByteArray("2", 2);
        QTest::newRow("binary of four bytes") << int(REG_BINARY) << QByteArray("\x02\0\0\0", 4);
    }
    void unusableStoredValuesLeaveTheirField()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        setRaw("ON_SAVE_RECALC_DESC", DWORD(type), bytes);
        setRaw("CHECKOUT_ON_OPEN", REG_DWORD, QByteArray("\x01\0\0\0", 4));
        PanelOptions options;
        QVERIFY(Dbscout::LoadOptions(settings(), options));
        QCOMPARE(describe(options), QStringLiteral("0 1 0 0 1 0"));
    }

    void nullSettingsKeyChangesNothing()
    {
        PanelOptions options = make(1, 0, 1, 0, 2, 1);
        QVERIFY(!Dbscout::LoadOptions(nullptr, options));
        QVERIFY(!Dbscout::SaveOptions(nullptr, options));
        QCOMPARE(describe(options), QStringLiteral("1 0 1 0 2 1"));

        // The dialog still runs and OK still changes the record; nothing can be stored.
        ScriptedModal modal;
        modal.answerNextDialog(clickThen({6926}, 1));
        Dbscout::RunOptionsDialog(nullptr, nullptr, 3, options);
        QCOMPARE(modal.dialogsShown(), 1);
        QCOMPARE(describe(options), QStringLiteral("1 1 1 0 2 1"));
        QVERIFY(modal.messages().empty());
    }

    void pagesEnableByServerVersion_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QList<int>>("enabled");
        QTest::newRow("1") << 1 << QList<int>{};
        QTest::newRow("2") << 2 << QList<int>{6926, 6927};
        QTest::newRow("3") << 3 << QList<int>{6926, 6927, 6931, 6932, 1195, 1196, 1197, 1198, 1199};
    }
    void pagesEnableByServerVersion()
    {
        QFETCH(int, version);
        QFETCH(QList<int>, enabled);
        Dbscout::COptionsDlg dialog(PanelOptions{}, version);
        for (int id : kCheckIds)
            QCOMPARE(control<QCheckBox>(&dialog, id)->isEnabled(), enabled.contains(id));
        for (int id : kRadioIds)
            QCOMPARE(control<QRadioButton>(&dialog, id)->isEnabled(), enabled.contains(id));
    }

    void pagesShowStoredValuesOnlyFromVersionThree_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<PanelOptions>("options");
        QTest::addColumn<QList<int>>("checked");
        const PanelOptions everything = make(1, 1, 1, 1, 2, 1);
        QTest::newRow("defaults at 3") << 3 << PanelOptions{} << QList<int>{1197, 1198};
        QTest::newRow("everything at 3")
            << 3 << everything << QList<int>{6926, 6927, 6931, 6932, 1196, 1199};
        QTest::newRow("everything at 2") << 2 << everything << QList<int>{6926, 6927, 1197, 1198};
        QTest::newRow("no such choice at 3") << 3 << make(0, 0, 0, 0, 9, 5) << QList<int>{};
    }
    void pagesShowStoredValuesOnlyFromVersionThree()
    {
        QFETCH(int, version);
        QFETCH(PanelOptions, options);
        QFETCH(QList<int>, checked);
        Dbscout::COptionsDlg dialog(options, version);
        for (int id : kCheckIds)
            QCOMPARE(control<QCheckBox>(&dialog, id)->isChecked(), checked.contains(id));
        for (int id : kRadioIds)
            QCOMPARE(control<QRadioButton>(&dialog, id)->isChecked(), checked.contains(id));
    }

    void okTakesWhatTheVersionAllows_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<PanelOptions>("before");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<PanelOptions>("after");
        const PanelOptions storedDescendants = make(0, 0, 1, 1, 2, 1);
        QTest::newRow("version 2 keeps descendant and save values")
            << 2 << storedDescendants << QList<int>{6926, 6927} << make(1, 1, 1, 1, 2, 1);
        QTest::newRow("version 1 writes unchanged values")
            << 1 << storedDescendants << QList<int>{6926, 6931, 1196} << storedDescendants;
        QTest::newRow("version 3 takes both pages")
            << 3 << PanelOptions{} << QList<int>{6927, 6931, 1196, 1199} << make(1, 0, 0, 1, 2, 1);
        QTest::newRow("version 3 unchecks stored descendants")
            << 3 << storedDescendants << QList<int>{6931, 6932, 1195, 1198}
            << make(0, 0, 0, 0, 0, 0);
        QTest::newRow("version 3 keeps a value no button names")
            << 3 << make(0, 0, 0, 0, 7, 1) << QList<int>{1198} << make(0, 0, 0, 0, 7, 0);
    }
    void okTakesWhatTheVersionAllows()
    {
        QFETCH(int, version);
        QFETCH(PanelOptions, before);
        QFETCH(QList<int>, clicks);
        QFETCH(PanelOptions, after);
        QVERIFY(Dbscout::SaveOptions(settings(), before));
        PanelOptions options = make(1, 1, 1, 1, 1, 1); // unsaved changes, replaced on opening
        ScriptedModal modal;
        modal.answerNextDialog(clickThen(clicks, 1));
        Dbscout::RunOptionsDialog(nullptr, settings(), version, options);
        QCOMPARE(describe(options), describe(after));
        QCOMPARE(describe(stored()), describe(after));
    }

    void cancelLeavesTheRecordReloaded_data()
    {
        QTest::addColumn<bool>("byScript");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("dialog closed") << true;
    }
    void cancelLeavesTheRecordReloaded()
    {
        QFETCH(bool, byScript);
        const PanelOptions saved = make(0, 1, 0, 1, 0, 1);
        QVERIFY(Dbscout::SaveOptions(settings(), saved));
        PanelOptions options = make(1, 0, 1, 0, 2, 0);
        ScriptedModal modal;
        if (!byScript)
            modal.answerNextDialog(clickThen({6926, 6927, 6931, 1196}, 2));
        Dbscout::RunOptionsDialog(nullptr, settings(), 3, options);
        QCOMPARE(modal.dialogsShown(), 1);
        QCOMPARE(describe(options), describe(saved));
        QCOMPARE(describe(stored()), describe(saved));
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
