// The operation commands through the real panel and the test handler: the request each one
// sends, byte for byte, and when each sends nothing or refuses.

#include "dialog_support.h"
#include "panel/panel_harness.h"

#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "resources/ids.h"
#include "settings/options.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
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
    h.typeSource(Address(fixture));
    h.typeQuery("Shared");
    h.pressGo();
    QVERIFY(h.waitForListing());
    QVERIFY(QTest::qWaitFor([&h] { return h.handlerCalls().size() == 2; }));
}

void Select(PanelHarness& h, const QStringList& names)
{
    h.list()->clearSelection();
    for (int i = 0; i < h.list()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = h.list()->topLevelItem(i);
        item->setSelected(names.contains(item->text(0)));
    }
}

// Runs a command and returns the requests it made the handler receive.
QStringList Run(PanelHarness& h, int command)
{
    const qsizetype before = h.handlerCalls().size();
    h.command(command);
    h.waitForListing();
    return h.handlerCalls().mid(before);
}

// A comment dialog answer that types text (Enter for "\n") and presses OK.
ScriptedModal::DialogAnswer TypeComment(const QString& text, QString* caption = nullptr,
                                        int* maxChars = nullptr)
{
    return Scripted([=](QDialog* d) {
        if (caption)
            *caption = d->windowTitle();
        if (maxChars)
            *maxChars = qobject_cast<CCommentDlg*>(d)->maxChars;
        auto* edit = FindControl<QPlainTextEdit>(d, IDC_COMMENT_TEXT);
        for (const QString& line : text.split('\n')) {
            if (line != text.section('\n', 0, 0))
                QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, line);
        }
        Press(d, kIdOk);
    });
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

ScriptedModal::DialogAnswer TypeSubsetName(const QString& name)
{
    return Scripted([name](QDialog* d) {
        QTest::keyClicks(FindControl<QLineEdit>(d, IDC_SUBSET_NAME), name);
        Press(d, kIdOk);
    });
}

} // namespace

class PanelOperationsTest : public QObject
{
    Q_OBJECT
private slots:
    void checkOutOfThreeFreeRowsCarriesTheEscapedComment();
    void descendantsGoWithTheCheckAtVersion3WhenTheOptionsSaySo();
    void checkInAtVersion2HasNoDescendantsAndUndoIsStillSent();
    void selectionsThatDoNotWhollyQualifySendNothing();
    void cancelledCommentSendsNothing();
    void versionOneHasNoCheckOrAccessOperations();
    void newSubsetDropsTheListedQueryAndRefusesMain();
    void newSubsetFromAPlaceholderSelectionSendsNothing();
    void objectAccessMergesModes();
    void objectAccessRefusalsInBothOrders();
    void subsetAccessStartsFromTheSubsetsMode();
    void subsetWithoutModeKeepsItsAccess();
};

void PanelOperationsTest::checkOutOfThreeFreeRowsCarriesTheEscapedComment()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    Select(h, {"alpha", "beta", "gamma"});
    QString caption;
    int maxChars = 0;
    h.modal().answerNextDialog(TypeComment("line1\nA&B\\C", &caption, &maxChars));
    const QString before = ListUrl("ops-v3", "obj:1,obj:2,obj:3") + "&command=co&command=dir";
    QCOMPARE(Run(h, ID_CHECK_OUT), QStringList{before + "&comment=line1\\r\\nA\\x26B\\\\C"});
    QCOMPARE(caption, QString("Please enter comment for  check out alpha"));
    QCOMPARE(maxChars, 2009 - int(before.size()));
    QCOMPARE(h.rowNames().size(), 8); // the answer is the listing again
}

void PanelOperationsTest::descendantsGoWithTheCheckAtVersion3WhenTheOptionsSaySo()
{
    PanelHarness h;
    SetDescendantOptions(h);
    ListFixture(h, "ops-v3");
    Select(h, {"alpha", "beta", "gamma"});
    h.modal().answerNextDialog(TypeComment("x"));
    QCOMPARE(Run(h, ID_CHECK_OUT), QStringList{ListUrl("ops-v3", "obj:1,obj:2,obj:3") +
                                               "&command=co&descendant=co&command=dir&comment=x"});
    Select(h, {"delta"});
    h.modal().answerNextDialog(TypeComment("y"));
    QCOMPARE(Run(h, ID_CHECK_IN), QStringList{ListUrl("ops-v3", "obj:4") +
                                              "&command=ci&descendant=ci&command=dir&comment=y"});
}

void PanelOperationsTest::checkInAtVersion2HasNoDescendantsAndUndoIsStillSent()
{
    PanelHarness h;
    SetDescendantOptions(h);
    ListFixture(h, "ops-v2");
    Select(h, {"delta", "epsilon"});
    QString caption;
    h.modal().answerNextDialog(TypeComment("", &caption));
    QCOMPARE(Run(h, ID_CHECK_IN),
             QStringList{ListUrl("ops-v2", "obj:4,obj:5") + "&command=ci&command=dir&comment="});
    QCOMPARE(caption, QString("Please enter comment for  check in delta"));

    Select(h, {"delta", "epsilon"});
    const int dialogs = h.modal().dialogsShown();
    QCOMPARE(Run(h, ID_UNDO_CHECK_OUT),
             QStringList{ListUrl("ops-v2", "obj:4,obj:5") + "&command=unco&command=dir"});
    QCOMPARE(h.modal().dialogsShown(), dialogs); // undo asks for no comment
}

void PanelOperationsTest::selectionsThatDoNotWhollyQualifySendNothing()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    const QStringList selections[] = {
        {"alpha", "delta"}, // free and the user's
        {"eta"},            // held by "Tester", not "tester"
        {"zeta"},           // not writable
        {"zeta", "alpha"},
        {},
    };
    for (const QStringList& selection : selections) {
        for (int command : {ID_CHECK_IN, ID_CHECK_OUT, ID_UNDO_CHECK_OUT}) {
            Select(h, selection);
            QCOMPARE(Run(h, command), QStringList());
        }
    }
    QCOMPARE(h.modal().dialogsShown(), 0);
}

void PanelOperationsTest::cancelledCommentSendsNothing()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    Select(h, {"delta"});
    h.modal().answerNextDialog(Scripted([](QDialog* d) {
        QTest::keyClicks(FindControl<QPlainTextEdit>(d, IDC_COMMENT_TEXT), "never sent");
        Press(d, kIdCancel);
    }));
    QCOMPARE(Run(h, ID_CHECK_IN), QStringList());
    QCOMPARE(h.modal().dialogsShown(), 1);
    QCOMPARE(h.rowNames().size(), 8);
}

void PanelOperationsTest::versionOneHasNoCheckOrAccessOperations()
{
    PanelHarness h;
    ListFixture(h, "panel-protein-v1");
    h.list()->selectAll();
    for (int command :
         {ID_CHECK_IN, ID_CHECK_OUT, ID_UNDO_CHECK_OUT, ID_OBJECT_ACCESS, ID_SUBSET_ACCESS})
        QCOMPARE(Run(h, command), QStringList());
    QCOMPARE(h.modal().dialogsShown(), 0);
    QVERIFY(h.modal().messages().empty());

    // Subsets are created whatever the version.
    h.modal().answerNextDialog(TypeSubsetName("New"));
    QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET).size(), 1);
}

void PanelOperationsTest::newSubsetDropsTheListedQueryAndRefusesMain()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    for (const char* reserved : {"main", "Main", "MAIN"}) {
        h.modal().clear();
        h.modal().answerNextDialog(TypeSubsetName(reserved));
        QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages().front().text,
                 QString("The \"MAIN\" is reserved subset name."));
        QCOMPARE(h.modal().messages().front().caption, QString("Dbscout error"));
    }

    const QString prefix = QString::fromStdString(Address("ops-v3"));
    Select(h, {"alpha", "gamma"});
    h.modal().answerNextDialog(TypeSubsetName("My set&x"));
    QCOMPARE(Run(h, ID_CREATE_SUBSET_FROM_SELECTION),
             QStringList{prefix + "/obj:1,obj:3?start=0&page=100&command=cs&command=dir&query=My "
                                  "set&x"});

    // From the selection with nothing selected: the same as an empty subset.
    const QString empty = prefix + "/?start=0&page=100&command=cs&command=dir&query=Empty";
    h.list()->clearSelection();
    h.modal().answerNextDialog(TypeSubsetName("Empty"));
    QCOMPARE(Run(h, ID_CREATE_SUBSET_FROM_SELECTION), QStringList{empty});
    Select(h, {"alpha"});
    h.modal().answerNextDialog(TypeSubsetName("Empty"));
    QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList{empty});

    h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdCancel); }));
    QCOMPARE(Run(h, ID_CREATE_EMPTY_SUBSET), QStringList());
}

void PanelOperationsTest::newSubsetFromAPlaceholderSelectionSendsNothing()
{
    PanelHarness h;
    h.typeSource(Address("ops-v3"));
    h.list()->topLevelItem(0)->setSelected(true); // "Please enter a Subset/Query ..."
    h.modal().answerNextDialog(TypeSubsetName("New"));
    QCOMPARE(Run(h, ID_CREATE_SUBSET_FROM_SELECTION), QStringList());
    QCOMPARE(h.modal().dialogsShown(), 1);
}

void PanelOperationsTest::objectAccessMergesModes()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    Select(h, {"alpha", "beta"});
    h.modal().answerNextDialog(Scripted([](QDialog* d) {
        auto* dialog = qobject_cast<CAccessRightsDlg*>(d);
        QCOMPARE(d->windowTitle(), QString("Access rights to the object(s): alpha..."));
        QCOMPARE(dialog->ownerLevel, 1);
        QCOMPARE(dialog->groupLevel, -1);
        QCOMPARE(dialog->otherLevel, 0);
        Press(d, kIdOk);
    }));
    QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList{ListUrl("ops-v3", "obj:1,obj:2") +
                                                   "&command=ochmod&command=dir&objmode=r*-"});

    Select(h, {"alpha", "theta"}); // rw- and w-r disagree everywhere
    h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdOk); }));
    QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList{ListUrl("ops-v3", "obj:1,obj:8") +
                                                   "&command=ochmod&command=dir&objmode=***"});

    Select(h, {"alpha"});
    h.modal().answerNextDialog(Scripted([](QDialog* d) { Press(d, kIdCancel); }));
    QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList());
    QVERIFY(h.modal().messages().empty());
}

void PanelOperationsTest::objectAccessRefusalsInBothOrders()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    const struct
    {
        QStringList selection;
        const char* message;
    } cases[] = {
        {{"zeta", "delta"}, "Privelage Denied:  Cannot change permissions to selected objects."},
        {{"delta", "zeta"}, "You cannot change permissions for the checked out objects."},
    };
    // The list keeps its page order, so put the rows there in the wanted order first.
    for (const auto& c : cases) {
        h.list()->sortItems(0, c.selection.first() == "zeta" ? Qt::DescendingOrder
                                                             : Qt::AscendingOrder);
        Select(h, c.selection);
        h.modal().clear();
        QCOMPARE(Run(h, ID_OBJECT_ACCESS), QStringList());
        QCOMPARE(int(h.modal().messages().size()), 1);
        QCOMPARE(h.modal().messages().front().text, QString(c.message));
        QCOMPARE(h.modal().messages().front().caption, QString("Dbscout error"));
        QCOMPARE(h.modal().dialogsShown(), 0);
    }
}

void PanelOperationsTest::subsetAccessStartsFromTheSubsetsMode()
{
    PanelHarness h;
    ListFixture(h, "ops-v3");
    h.modal().answerNextDialog(Scripted([](QDialog* d) {
        auto* dialog = qobject_cast<CAccessRightsDlg*>(d);
        QCOMPARE(d->windowTitle(), QString("Access rights to the subset: Shared"));
        QCOMPARE(dialog->ownerLevel, 2);
        QCOMPARE(dialog->groupLevel, 0);
        QCOMPARE(dialog->otherLevel, 0);
        FindControl<QComboBox>(d, IDC_ACCESS_OTHER)->setCurrentIndex(1);
        Press(d, kIdOk);
    }));
    QCOMPARE(Run(h, ID_SUBSET_ACCESS),
             QStringList{ListUrl("ops-v3", "") +
                         "&command=schmod&command=dir&subsetmode=w-r&subset=Shared"});
}

void PanelOperationsTest::subsetWithoutModeKeepsItsAccess()
{
    PanelHarness h;
    ListFixture(h, "ops-v2");
    QCOMPARE(Run(h, ID_SUBSET_ACCESS), QStringList());
    QCOMPARE(h.modal().dialogsShown(), 0);
}

QTEST_MAIN(PanelOperationsTest)
#include "panel_operations_test.moc"
