// The comment, subset name and access-rights dialogs, run through the modal seam as the
// operations run them: captions, controls, data in and out, the comment's length limit.

#include "dialog_support.h"
#include "support/scripted_modal.h"

#include "operations/access_modes.h"
#include "operations/access_rights_dlg.h"
#include "operations/comment_dlg.h"
#include "operations/subset_name_dlg.h"
#include "resources/ids.h"
#include "resources/images.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

QPlainTextEdit* CommentEdit(QDialog* dialog)
{
    return FindControl<QPlainTextEdit>(dialog, IDC_COMMENT_TEXT);
}

// Runs a comment dialog with the given limit and preset text; answer scripts it.
int RunComment(CCommentDlg& dialog, ScriptedModal& modal, ScriptedModal::DialogAnswer answer)
{
    modal.answerNextDialog(std::move(answer));
    return dialog.DoModal();
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitResources(); }
    void commentDialogShowsItsCaptionAndControls();
    void commentKeepsLineBreaksAndEveryCharacter();
    void typingStopsAtTheLimitWithLineBreaksCountingTwo();
    void tooLongCommentIsRefusedNamingTheLimitAndTheDialogStaysOpen();
    void noRoomLeftAcceptsOnlyAnEmptyComment();
    void cancelLeavesTheCommentAlone();
    void subsetNameComesBackExactlyAsTyped();
    void accessDialogShowsMergedLevelsAndReadsTheChoiceBack();
    void accessDialogForASubset();
};

void DialogsTest::commentDialogShowsItsCaptionAndControls()
{
    ScriptedModal modal;
    CCommentDlg dialog;
    QCOMPARE(dialog.maxChars, 2048);
    dialog.captionSuffix = " check in pUC19";
    RunComment(dialog, modal, Scripted([](QDialog* d) {
                   QCOMPARE(d->windowTitle(), QString("Please enter comment for  check in pUC19"));
                   QCOMPARE(d->objectName(), QString::number(IDD_COMMENT));
                   QVERIFY(CommentEdit(d));
                   QCOMPARE(FindControl<QPushButton>(d, 1)->text(), QString("&OK"));
                   QCOMPARE(FindControl<QPushButton>(d, 2)->text(), QString("&Cancel"));
               }));
    QCOMPARE(modal.dialogsShown(), 1);
}

void DialogsTest::commentKeepsLineBreaksAndEveryCharacter()
{
    ScriptedModal modal;
    CCommentDlg dialog;
    dialog.comment = "first\r\nsecond";
    const int result = RunComment(
        dialog, modal, Scripted([](QDialog* d) {
            QCOMPARE(CommentEdit(d)->toPlainText(), QString("first\nsecond"));
            CommentEdit(d)->setPlainText(QString::fromUtf8("fixed\nA&B \\ \"q\" \xc3\xa9"));
            Press(d, 1);
        }));
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.comment, std::string("fixed\r\nA&B \\ \"q\" \xc3\xa9"));
    QVERIFY(modal.messages().empty());
}

void DialogsTest::typingStopsAtTheLimitWithLineBreaksCountingTwo()
{
    ScriptedModal modal;
    CCommentDlg dialog;
    dialog.maxChars = 5;
    RunComment(dialog, modal, Scripted([](QDialog* d) {
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
                   Press(d, 1);
               }));
    QCOMPARE(dialog.comment, std::string("ab\r\nx"));
    QCOMPARE(CommentLength("ab\nx"), 5);
}

void DialogsTest::tooLongCommentIsRefusedNamingTheLimitAndTheDialogStaysOpen()
{
    ScriptedModal modal;
    CCommentDlg dialog;
    dialog.maxChars = 1009;
    dialog.comment = std::string(1008, 'c') + "\r\n"; // 1,010 as the limit counts
    const int result = RunComment(
        dialog, modal, Scripted([&modal](QDialog* d) {
            Press(d, 1);
            QCOMPARE(d->result(), int(QDialog::Rejected));
            QCOMPARE(int(modal.messages().size()), 1);
            const ShownMessage& shown = modal.messages().front();
            QVERIFY2(shown.text.contains("1009"), qPrintable(shown.text));
            QCOMPARE(shown.caption, QString("Dbscout error"));
            QCOMPARE(shown.icon, QMessageBox::Critical);
            QTest::keyClick(CommentEdit(d), Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(CommentEdit(d), Qt::Key_Backspace); // 1,008 characters remain
            Press(d, 1);
        }));
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.comment, std::string(1008, 'c'));
}

void DialogsTest::noRoomLeftAcceptsOnlyAnEmptyComment()
{
    for (int limit : {0, -40}) {
        ScriptedModal modal;
        CCommentDlg dialog;
        dialog.maxChars = limit;
        dialog.comment = "x";
        const int result = RunComment(dialog, modal, Scripted([&modal](QDialog* d) {
                                          Press(d, 1);
                                          QCOMPARE(d->result(), int(QDialog::Rejected));
                                          QCOMPARE(int(modal.messages().size()), 1);
                                          CommentEdit(d)->clear();
                                          QTest::keyClicks(CommentEdit(d), "typed");
                                          QCOMPARE(CommentEdit(d)->toPlainText(), QString());
                                          Press(d, 1);
                                      }));
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dialog.comment, std::string());
    }
}

void DialogsTest::cancelLeavesTheCommentAlone()
{
    ScriptedModal modal;
    CCommentDlg dialog;
    dialog.comment = "before";
    const int result = RunComment(dialog, modal, Scripted([](QDialog* d) {
                                      CommentEdit(d)->setPlainText("changed");
                                      Press(d, 2);
                                  }));
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(dialog.comment, std::string("before"));
}

void DialogsTest::subsetNameComesBackExactlyAsTyped()
{
    ScriptedModal modal;
    CSubsetNameDlg dialog;
    modal.answerNextDialog(Scripted([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString("Enter subset name:"));
        QCOMPARE(FindControl<QPushButton>(d, 1)->text(), QString("OK"));
        QCOMPARE(FindControl<QPushButton>(d, 2)->text(), QString("Cancel"));
        QTest::keyClicks(FindControl<QLineEdit>(d, IDC_SUBSET_NAME), " My & set ");
        Press(d, 1);
    }));
    QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
    QCOMPARE(dialog.subsetName, std::string(" My & set "));
}

void DialogsTest::accessDialogShowsMergedLevelsAndReadsTheChoiceBack()
{
    AccessLevels merged;
    MergeMode("rw-", merged);
    MergeMode("rr-", merged);
    ScriptedModal modal;
    CAccessRightsDlg dialog(nullptr, true, "obj12...", merged.owner, merged.group, merged.other);
    modal.answerNextDialog(Scripted([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString("Access rights to the object(s): obj12..."));
        QCOMPARE(FindControl<QLabel>(d, IDC_ACCESS_EXPLANATION)->text(),
                 QString("Set access rights to the seleted objects.\n"));
        QCOMPARE(FindControl<QPushButton>(d, 1)->text(), QString("&Set access"));
        QCOMPARE(FindControl<QPushButton>(d, 2)->text(), QString("&Cancel"));
        for (int id : {IDC_ACCESS_OWNER, IDC_ACCESS_GROUP, IDC_ACCESS_OTHER}) {
            QComboBox* list = FindControl<QComboBox>(d, id);
            QCOMPARE(list->count(), 3);
            QCOMPARE(list->itemText(0), QString("No access"));
            QCOMPARE(list->itemText(1), QString("Read only"));
            QCOMPARE(list->itemText(2), QString("Full"));
            for (int i = 0; i < 3; ++i)
                QVERIFY(!list->itemIcon(i).isNull());
        }
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_OWNER)->currentIndex(), 1);
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_GROUP)->currentIndex(), -1);
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_OTHER)->currentIndex(), 0);
        Press(d, 1);
    }));
    QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
    QCOMPARE(BuildModeString({dialog.ownerLevel, dialog.groupLevel, dialog.otherLevel}),
             std::string("r*-"));

    CAccessRightsDlg unknown(nullptr, true, "x", -1, -1, -1);
    modal.answerNextDialog(Scripted([](QDialog* d) { Press(d, 1); }));
    QCOMPARE(unknown.DoModal(), int(QDialog::Accepted));
    QCOMPARE(BuildModeString({unknown.ownerLevel, unknown.groupLevel, unknown.otherLevel}),
             std::string("***"));
}

void DialogsTest::accessDialogForASubset()
{
    AccessLevels merged;
    MergeMode("w--", merged);
    ScriptedModal modal;
    CAccessRightsDlg dialog(nullptr, false, "Alpha", merged.owner, merged.group, merged.other);
    modal.answerNextDialog(Scripted([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString("Access rights to the subset: Alpha"));
        QCOMPARE(FindControl<QLabel>(d, IDC_ACCESS_EXPLANATION)->text(),
                 QString("Set access rights for the current subset.\n"));
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_OWNER)->currentIndex(), 2);
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_GROUP)->currentIndex(), 0);
        QCOMPARE(FindControl<QComboBox>(d, IDC_ACCESS_OTHER)->currentIndex(), 0);
        FindControl<QComboBox>(d, IDC_ACCESS_OTHER)->setCurrentIndex(1);
        Press(d, 1);
    }));
    QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
    QCOMPARE(BuildModeString({dialog.ownerLevel, dialog.groupLevel, dialog.otherLevel}),
             std::string("w-r"));

    CAccessRightsDlg cancelled(nullptr, false, "Alpha", 2, 0, 0);
    modal.answerNextDialog(Scripted([](QDialog* d) { Press(d, 2); }));
    QCOMPARE(cancelled.DoModal(), int(QDialog::Rejected));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
