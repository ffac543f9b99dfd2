// The operation commands through the real panel and the test handler: the request each one
// sends, byte for byte, and when each sends nothing or refuses.

#include "dialog_support.h"
#include "panel/panel_harness.h"

#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "settings/options.h"
#include "support/turkish_locale.h"

#include <QTemporaryDir>
#include <QTreeWidget>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

// The listing answers a little after the subset names, so that the current subset entry is
// the listed page's caption, with its mode. The credentials make "tester" the current user.
std::string Address(const std::string& fixture)
{
    return "molb://tester:pw@test/fixture=" + fixture + "&/db/testmode=sleep:200&";
}

// The panel's listing request for objects (path), before an operation's own parameters.
QString ListUrl(const std::string& fixture, const std::string& path)
{
    return QString::fromStdString(Address(fixture) + "/" + path + "?start=0&page=100&query=Shared");
}

void ListFixture(PanelHarness& h, const std::string& fixture)
{
    const qsizetype before = h.handlerCalls().size(); // and the subset names come too
    QVERIFY(h.go(Address(fixture), "Shared"));
    QVERIFY(QTest::qWaitFor([&] { return h.handlerCalls().size() == before + 2; }));
}

// Runs a command and returns the requests it made the handler receive.
QStringList Run(PanelHarness& h, int command)
{
    const qsizetype before = h.handlerCalls().size();
    h.command(command);
    h.waitForListing();
    return h.handlerCalls().mid(before);
}

// Rebuilds the panel with both descendant options set.
void SetDescendantOptions(PanelHarness& h)
{
    h.destroy();
    PanelOptions options;
    options.CHECKIN_ON_SAVE_DESC = 1;
    options.CHECKOUT_ON_OPEN_DESC = 1;
    QVERIFY(SaveOptions(h.settingsKey(), options));
    h.create();
}

} // namespace

class PanelOperationsTest : public QObject
{
    Q_OBJECT
private slots:
    void checkOutOfThreeFreeRowsCarriesTheEscapedComment()
    {
        PanelHarness h;
        ListFixture(h, "ops-v3");
        h.select({"alpha", "beta", "gamma"});
        int maxChars = 0;
        h.modal().answerNextDialog(TypeComment("line1\nA&B\\C", [&](QDialog* d) {
            maxChars = qobject_cast<CCommentDlg*>(d)->maxChars;
        }));
        const QString before = ListUrl("ops-v3", "obj:1,obj:2,obj:3") + "&command=co&command=dir";
        QCOMPARE(Run(h, ID_CHECK_OUT), QStringList{before + "&comment=line1\\r\\nA\\x26B\\\\C"});
        QCOMPARE(maxChars, 2009 - int(before.size()));
        QCOMPARE(h.columnTexts().size(), 8); // the answer is the listing again

        h.select({"delta"}); // a cancelled comment sends nothing
        h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdCancel); }));
        QCOMPARE(Run(h, ID_CHECK_IN), QStringList());
        QCOMPARE(h.modal().dialogsShown(), 2);
        QCOMPARE(h.columnTexts().size(), 8);
    }

    void descendantsGoWithTheChecksAtVersion3WhenTheOptionsSaySo()
    {
        PanelHarness h;
        SetDescendantOptions(h);
        ListFixture(h, "ops-v3");
        h.select({"alpha", "beta", "gamma"});
        h.modal().answerNextDialog(TypeComment("x"));
        QCOMPARE(Run(h, ID_CHECK_OUT),
                 QStringList{ListUrl("ops-v3", "obj:1,obj:2,obj:3") +
                             "&command=co&descendant=co&command=dir&comment=x"});
        h.select({"delta"});
        h.modal().answerNextDialog(TypeComment("y"));
        QCOMPARE(Run(h, ID_CHECK_IN),
                 QStringList{ListUrl("ops-v3", "obj:4") +
                             "&command=ci&descendant=ci&command=dir&comment=y"});
        // At version 2 no descendants go; undo asks for no comment.
        ListFixture(h, "ops-v2");
        h.select({"delta", "epsilon"});
        h.modal().answerNextDialog(TypeComment(""));
        QCOMPARE(Run(h, ID_CHECK_IN), QStringList{ListUrl("ops-v2", "obj:4,obj:5") +
                                                  "&command=ci&command=dir&comment="});
        h.select({"delta", "epsilon"});
        QCOMPARE(Run(h, ID_UNDO_CHECK_OUT),
                 QStringList{ListUrl("ops-v2", "obj:4,obj:5") + "&command=unco&command=dir"});
        QCOMPARE(h.modal().dialogsShown(), 3);
    }

    // Selections that do not wholly qualify, a server of version 1 and a subset without a mode
    // (the menu test runs subset access from the subset's mode): nothing is asked nor sent.
    void operationsThatDoNotApplySendNothing()
    {
        const std::vector<int> checks = {ID_CHECK_IN, ID_CHECK_OUT, ID_UNDO_CHECK_OUT};
        const struct
        {
            const char* fixture;
            QStringList selection; // {"*"}: every row
            std::vector<int> commands;
        } cases[] = {
            {"ops-v3", {"alpha", "delta"}, checks}, // free and the user's
            {"ops-v3", {"eta"}, checks},            // held by "Tester", not "tester"
            {"ops-v3", {"zeta"}, checks},           // not writable
            {"ops-v2", {}, {ID_SUBSET_ACCESS}},
            {"panel-protein-v1",
             {"*"},
             {ID_CHECK_IN, ID_CHECK_OUT, ID_UNDO_CHECK_OUT, ID_OBJECT_ACCESS, ID_SUBSET_ACCESS}},
        };
        PanelHarness h;
        std::string listed;
        for (const auto& c : cases) {
            if (listed != c.fixture)
                ListFixture(h, listed = c.fixture);
            for (int command : c.commands) {
                if (c.selection == QStringList{"*"})
                    h.list()->selectAll();
                else
                    h.select(c.selection);
                const QStringList sent = Run(h, command);
                QVERIFY2(sent.isEmpty() && h.modal().dialogsShown() == 0 &&
                             h.modal().messages().empty(),
                         qPrintable(QString("%1 on %2 in %3: %4")
                                        .arg(command)
                                        .arg(c.selection.join(','), c.fixture, sent.join(' '))));
            }
        }

        // Subsets are created whatever the version.
        h.modal().answerNextDialog(TypeSubsetName("New"));
        QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET).size(), 1);
    }

    void newSubsetDropsTheListedQueryAndRefusesMain()
    {
        PanelHarness h;
        h.typeSource(Address("ops-v3")); // from the placeholder row: named, yet nothing is sent
        h.list()->topLevelItem(0)->setSelected(true);
        h.modal().answerNextDialog(TypeSubsetName("New"));
        QCOMPARE(Run(h, ID_CREATE_SUBSET_FROM_SELECTION), QStringList());
        QCOMPARE(h.modal().dialogsShown(), 1);

        ListFixture(h, "ops-v3");
        h.modal().answerNextDialog(TypeSubsetName("Main")); // in any case
        QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages().front().text,
                 QString("The \"MAIN\" is reserved subset name."));
        QCOMPARE(h.modal().messages().front().caption, QString("Dbscout error"));

        // From the selection with nothing selected: the same as an empty subset.
        const QString empty = QString::fromStdString(Address("ops-v3")) +
                              "/?start=0&page=100&command=cs&command=dir&query=Empty";
        h.list()->clearSelection();
        h.modal().answerNextDialog(TypeSubsetName("Empty"));
        QCOMPARE(Run(h, ID_CREATE_SUBSET_FROM_SELECTION), QStringList{empty});
        h.select({"alpha"});
        h.modal().answerNextDialog(TypeSubsetName("Empty"));
        QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList{empty});

        h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdCancel); }));
        QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList());
    }

    void objectAccessMergesModesOrRefuses()
    {
        PanelHarness h;
        ListFixture(h, "ops-v3");
        h.select({"alpha", "beta"});
        h.modal().answerNextDialog(Scripted([](QDialog* d) { // starts from the merged modes
            QCOMPARE(d->windowTitle(), QString("Access rights to the object(s): alpha..."));
            auto* dialog = qobject_cast<CAccessRightsDlg*>(d);
            QCOMPARE(QList({dialog->ownerLevel, dialog->groupLevel, dialog->otherLevel}),
                     QList({1, -1, 0}));
            Press(d, kIdOk);
        }));
        QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList{ListUrl("ops-v3", "obj:1,obj:2") +
                                                       "&command=ochmod&command=dir&objmode=r*-"});

        h.select({"alpha"});
        h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdCancel); }));
        QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList());
        QVERIFY(h.modal().messages().empty());

        // Refused in the order of the list: no mode first, or checked out first.
        const struct
        {
            QStringList selection;
            const char* message;
        } cases[] = {
            {{"zeta", "delta"},
             "Privelage Denied:  Cannot change permissions to selected objects."},
            {{"delta", "zeta"}, "You cannot change permissions for the checked out objects."},
        };
        for (const auto& c : cases) {
            h.list()->sortItems(0, c.selection.first() == "zeta" ? Qt::DescendingOrder
                                                                 : Qt::AscendingOrder);
            h.select(c.selection);
            h.modal().clear();
            QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList());
            QCOMPARE(int(h.modal().messages().size()), 1);
            QCOMPARE(h.modal().messages().front().text, QString(c.message));
            QCOMPARE(h.modal().messages().front().caption, QString("Dbscout error"));
            QCOMPARE(h.modal().dialogsShown(), 0);
        }
    }

    // The accelerator table pressed as keys on a real panel: each key runs its command (seen by
    // the dialog it opens and the request it sends), whichever control has the focus, before
    // that control sees the key; Ctrl+Home, Ctrl+End and F2 are swallowed.
    void everyAcceleratorKeyRunsItsCommand()
    {
        PanelHarness h;
        ListFixture(h, "ops-v3");
        constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const QString listed = "?start=0&page=100&query=Shared";
        const QString created = "?start=0&page=100&command=cs&command=dir&query=N";
        const struct
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QStringList selection;
            QString dialog;  // the title of the dialog the command opens (answered by Cancel,
                             // or by OK after typing the subset name "N"), or none
            QString request; // the end of the listing request it sends, or none
        } keys[] = {
            {Qt::Key_F5, {}, {}, {}, "/db/testmode=sleep:200&" + listed},
            {Qt::Key_PageDown, ctrl, {}, {}, "&?start=100&page=100&query=Shared"},
            {Qt::Key_PageUp, ctrl, {}, {}, "&" + listed},
            {Qt::Key_G, ctrl, {}, "Go to", {}},
            {Qt::Key_O, ctrl, {"alpha"}, "Please enter comment for  check out alpha", {}},
            {Qt::Key_I, ctrl, {"delta"}, "Please enter comment for  check in delta", {}},
            {Qt::Key_U, ctrl, {"delta"}, {}, "/obj:4" + listed + "&command=unco&command=dir"},
            {Qt::Key_S, ctrl, {"alpha"}, "Enter subset name:", "&/" + created},
            {Qt::Key_B, ctrl, {"alpha"}, "Enter subset name:", "&/obj:1" + created},
            {Qt::Key_A, ctrl, {"alpha"}, "Access rights to the object(s): alpha", {}},
            {Qt::Key_C, ctrl, {}, "Access rights to the subset: Shared", {}},
            {Qt::Key_P, ctrl, {}, "Options", {}},
            {Qt::Key_Home, ctrl, {}, {}, {}},
            {Qt::Key_End, ctrl, {}, {}, {}},
            {Qt::Key_F2, {}, {}, {}, {}},
        };
        for (QWidget* focus :
             {static_cast<QWidget*>(h.list()), static_cast<QWidget*>(h.queryBox()->lineEdit())}) {
            for (const auto& k : keys) {
                const QString key = QKeySequence(k.key | k.modifiers).toString();
                h.select(k.selection);
                h.list()->setCurrentItem(h.list()->topLevelItem(3), 0,
                                         QItemSelectionModel::NoUpdate);
                QString shown;
                if (!k.dialog.isEmpty())
                    h.modal().answerNextDialog([&shown](QDialog* d) {
                        shown = d->windowTitle();
                        if (d->objectName() != QString::number(IDD_SUBSET_NAME))
                            return int(QDialog::Rejected);
                        return TypeSubsetName("N")(d);
                    });
                const int dialogs = h.modal().dialogsShown();
                const qsizetype before = h.handlerCalls(true).size();
                focus->setFocus();
                QTest::keyClick(focus, k.key, k.modifiers);
                if (!k.request.isEmpty())
                    QVERIFY2(QTest::qWaitFor([&] { return h.handlerCalls(true).size() > before; }),
                             qPrintable(key));
                QVERIFY2(h.waitForListing(), qPrintable(key));
                QCOMPARE(h.modal().dialogsShown(), dialogs + (k.dialog.isEmpty() ? 0 : 1));
                QCOMPARE(shown, k.dialog);
                const QStringList sent = h.handlerCalls(true).mid(before);
                QVERIFY2(k.request.isEmpty() ? sent.isEmpty()
                                             : sent.size() == 1 && sent[0].endsWith(k.request),
                         qPrintable(key + ": " + sent.join(" | ")));
                if (k.request.isEmpty()) // the list did not move to either end
                    QCOMPARE(h.list()->currentItem(), h.list()->topLevelItem(3));
            }
        }
        QVERIFY(h.modal().messages().empty());
    }

    // "MAIN" is compared in ASCII: a Turkish locale upper-cases "i" to a dotted capital.
    void mainIsRefusedInAnyLetterCaseWhateverTheLocale()
    {
        // Made first and undone last, while no job of the panel runs.
        QTemporaryDir folder;
        TurkishLocale turkish(folder.path().toStdString());
        if (!turkish.active())
            QSKIP("no Turkish locale could be made");
        PanelHarness h;
        ListFixture(h, "ops-v3");
        for (const char* name : {"main", "mAiN"}) {
            h.modal().answerNextDialog(TypeSubsetName(name));
            QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList());
        }
        QCOMPARE(int(h.modal().messages().size()), 2);
        QCOMPARE(h.modal().messages().back().text,
                 QString("The \"MAIN\" is reserved subset name."));
    }
};

QTEST_MAIN(PanelOperationsTest)
#include "panel_operations_test.moc"
