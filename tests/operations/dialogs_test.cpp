// The comment dialog, run through the modal seam as the operations run it: its length limit.

#include "dialog_support.h"

#include "operations/comment_dlg.h"
#include "resources/images.h"

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
    return dialog.doModal() == QDialog::Accepted ? dialog.comment : "(not accepted)";
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
    void initTestCase() { initResources(); }

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

        // No room left (the address alone is too long): only an empty comment goes.
        const std::string empty = RunComment(-40, "x", [](QDialog* d, const ScriptedModal& modal) {
            ExpectRefusal(d, modal, "no room");
            CommentEdit(d)->clear();
            QTest::keyClicks(CommentEdit(d), "typed");
            QCOMPARE(CommentEdit(d)->toPlainText(), QString());
            Press(d, kIdOk);
        });
        QCOMPARE(empty, std::string());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
