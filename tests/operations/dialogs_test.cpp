// The comment and access-rights dialogs, run through the modal seam as the operations run them:
// the comment's length limit, the access levels shown and read back.

#include "dialog_support.h"

#include "operations/access_modes.h"
#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "resources/images.h"

#include <QComboBox>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

QPlainTextEdit* CommentEdit(QDialog* dialog)
{
    return FindControl<QPlainTextEdit>(dialog, IDC_COMMENT_TEXT);
}

// Runs a comment dialog with the given limit and preset text, answered by steps.
using Steps = std::function<void(QDialog*, const ScriptedModal&)>;
std::string RunComment(int maxChars, const std::string& preset, const Steps& steps)
{
    ScriptedModal modal;
    CCommentDlg dialog;
    dialog.maxChars = maxChars;
    dialog.comment = preset;
    modal.answerNextDialog(Scripted([&](QDialog* d) { steps(d, modal); }));
    return dialog.DoModal() == QDialog::Accepted ? dialog.comment : "(not accepted)";
}

// Presses OK expecting a refusal (the dialog stays open) naming the limit.
void ExpectRefusal(QDialog* d, const ScriptedModal& modal, const QString& limit)
{
    Press(d, kIdOk);
    QCOMPARE(d->result(), int(QDialog::Rejected));
    const auto& messages = modal.messages();
    QCOMPARE(int(messages.size()), 1);
    QVERIFY2(messages.front().text.contains(limit), qPrintable(messages.front().text));
    QCOMPARE(messages.front().icon, QMessageBox::Critical);
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }

    void typingStopsAtTheLimitWithLineBreaksCountingTwo()
    {
        const std::string comment = RunComment(5, "", [](QDialog* d, const ScriptedModal&) {
            QPlainTextEdit* edit = CommentEdit(d);
            QTest::keyClicks(edit, "ab");
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, "cdef");
            QCOMPARE(edit->toPlainText(), QString("ab\nc"));
            edit->insertPlainText(QString(100, 'x')); // a paste is cut too
            QCOMPARE(edit->toPlainText(), QString("ab\nc"));
            QTest::keyClick(edit, Qt::Key_Backspace);
            edit->insertPlainText("xyz");
            QCOMPARE(edit->toPlainText(), QString("ab\nx"));
            Press(d, kIdOk);
        });
        QCOMPARE(comment, std::string("ab\r\nx"));
    }

    void tooLongCommentIsRefusedNamingTheLimitAndTheDialogStaysOpen()
    {
        // 1,010 as the limit counts: the line break counts two.
        const std::string comment = RunComment(
            1009, std::string(1008, 'c') + "\r\n", [](QDialog* d, const ScriptedModal& modal) {
                ExpectRefusal(d, modal, "1009");
                QTest::keyClick(CommentEdit(d), Qt::Key_End, Qt::ControlModifier);
                QTest::keyClick(CommentEdit(d), Qt::Key_Backspace);
                Press(d, kIdOk);
            });
        QCOMPARE(comment, std::string(1008, 'c'));

        for (int limit : {0, -40}) { // no room left: only an empty comment goes
            const std::string empty =
                RunComment(limit, "x", [limit](QDialog* d, const ScriptedModal& modal) {
                    ExpectRefusal(d, modal, "no room");
                    CommentEdit(d)->clear();
                    QTest::keyClicks(CommentEdit(d), "typed");
                    QCOMPARE(CommentEdit(d)->toPlainText(), QString());
                    Press(d, kIdOk);
                });
            QCOMPARE(empty, std::string());
        }
    }

    void accessDialogShowsMergedLevelsAndReadsTheChoiceBack()
    {
        AccessLevels merged;
        MergeMode("rw-", merged);
        MergeMode("rr-", merged);
        ScriptedModal modal;
        CAccessRightsDlg dialog(nullptr, true, "obj12...", merged.owner, merged.group,
                                merged.other);
        modal.answerNextDialog(Scripted([](QDialog* d) {
            const int shown[] = {1, -1, 0}; // a level the objects disagree on shows none
            for (int id : {IDC_ACCESS_OWNER, IDC_ACCESS_GROUP, IDC_ACCESS_OTHER}) {
                QComboBox* list = FindControl<QComboBox>(d, id);
                QCOMPARE(list->count(), 3);
                QCOMPARE(list->itemText(0), QString("No access"));
                QCOMPARE(list->currentIndex(), shown[id - IDC_ACCESS_OWNER]);
                QVERIFY(!list->itemIcon(2).isNull());
            }
            Press(d, kIdOk);
        }));
        QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
        QCOMPARE(BuildModeString({dialog.ownerLevel, dialog.groupLevel, dialog.otherLevel}),
                 std::string("r*-"));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
