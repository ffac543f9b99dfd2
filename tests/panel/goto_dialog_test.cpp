// The Go-to dialog as a real widget: the fields it starts with, the bounds it refuses (with the
// message naming them, the dialog staying open) and what OK and Cancel return.

#include "panel/goto_dialog.h"
#include "support/scripted_modal.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using DbscoutTest::ScriptedModal;

namespace {

QLineEdit* edit(QDialog* dialog, int id)
{
    return dialog->findChild<QLineEdit*>(QString::number(id));
}

// Types start and page size and presses OK (1) or Cancel (2).
void answer(QDialog* dialog, const QString& start, const QString& pageSize, int button = 1)
{
    edit(dialog, 6906)->setText(start);
    edit(dialog, 6907)->setText(pageSize);
    dialog->findChild<QPushButton*>(QString::number(button))->click();
}

} // namespace

class GotoDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void startsAtThePlaceAndCancelChangesNothing()
    {
        ScriptedModal modal;
        QString shown;
        modal.answerNextDialog([&shown](QDialog* dialog) {
            shown = edit(dialog, 6906)->text() + " " + edit(dialog, 6907)->text() + " " +
                    dialog->findChild<QLabel*>("6909")->text();
            answer(dialog, "7", "8", 2);
            return dialog->result();
        });
        int start = 300, size = 50;
        QVERIFY(!Dbscout::runGotoDialog(nullptr, start, size, 1234));
        QCOMPARE(shown, QString("300 50 1234 objects found in the results."));
        QCOMPARE(start, 300);
        QCOMPARE(size, 50);
    }

    // A refused value names the bounds, selects the field and keeps the dialog open, so that
    // a corrected value is then accepted.
    void okAcceptsOnlyValuesWithinBounds_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<int>("field");      // the refused field, 0 when accepted
        QTest::addColumn<QString>("result"); // "start size", or the refusal
        const QString startRange = "Please enter an integer between 0 and 2147483647.";
        const QString sizeRange = "Please enter an integer between 1 and 120.";
        const QString notNumber = "Please enter an integer.";
        auto row = [](const char* tag, const QString& start, const QString& size, int field,
                      const QString& result) {
            QTest::newRow(tag) << start << size << field << result;
        };
        row("largest page", "0", "120", 0, "0 120");
        row("blanks and sign", "  +25 ", " 010", 0, "25 10");
        row("page size 0", "0", "0", 6907, sizeRange);
        row("page size 121", "0", "121", 6907, sizeRange);
        row("start -1", "-1", "100", 6906, startRange);
        row("start past 2^31-1", "2147483648", "100", 6906, startRange);
        row("empty start", "", "100", 6906, notNumber);
        row("other digits", QString::fromUtf8("\u0661\u0662"), "100", 6906, notNumber);
    }
    void okAcceptsOnlyValuesWithinBounds()
    {
        QFETCH(QString, start);
        QFETCH(QString, pageSize);
        QFETCH(int, field);
        QFETCH(QString, result);
        ScriptedModal modal;
        bool stayedOpen = false;
        QString selected;
        modal.answerNextDialog([&](QDialog* dialog) {
            dialog->show();
            answer(dialog, start, pageSize);
            if (field) {
                stayedOpen = dialog->isVisible() && dialog->result() == 0;
                selected = edit(dialog, field)->selectedText();
                answer(dialog, "7", "8");
            }
            return dialog->result();
        });
        int pageStart = 500, size = 100;
        QVERIFY(Dbscout::runGotoDialog(nullptr, pageStart, size, 900));
        if (!field) {
            QCOMPARE(QString("%1 %2").arg(pageStart).arg(size), result);
            QVERIFY(modal.messages().empty());
            return;
        }
        QVERIFY(stayedOpen);
        QCOMPARE(selected, field == 6906 ? start : pageSize);
        QCOMPARE(modal.messages().size(), size_t(1));
        QCOMPARE(modal.messages()[0].text, result);
        QCOMPARE(modal.messages()[0].icon, QMessageBox::Warning);
        QCOMPARE(pageStart, 7);
        QCOMPARE(size, 8);
    }
};

QTEST_MAIN(GotoDialogTest)
#include "goto_dialog_test.moc"
