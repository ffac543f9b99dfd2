// The Go-to dialog as a real widget: the fields it starts with, the total line, the bounds it
// refuses (with the message naming them, the dialog staying open) and what OK and Cancel return.

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
    auto* field = dialog->findChild<QLineEdit*>(QString::number(id));
    if (!field)
        qFatal("edit %d missing", id);
    return field;
}

void click(QDialog* dialog, int id)
{
    auto* button = dialog->findChild<QPushButton*>(QString::number(id));
    if (!button)
        qFatal("button %d missing", id);
    button->click();
}

// Answers the dialog by typing start and page size and pressing OK.
ScriptedModal::DialogAnswer typeThenOk(const QString& start, const QString& pageSize)
{
    return [start, pageSize](QDialog* dialog) {
        edit(dialog, 6906)->setText(start);
        edit(dialog, 6907)->setText(pageSize);
        click(dialog, 1);
        return dialog->result();
    };
}

} // namespace

class GotoDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithTheCurrentPlaceAndTotal_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("some") << 1234 << "1234 objects found in the results.";
        QTest::newRow("none") << 0 << "0 objects found in the results.";
        QTest::newRow("largest") << 2147483647 << "2147483647 objects found in the results.";
    }
    void startsWithTheCurrentPlaceAndTotal()
    {
        QFETCH(int, total);
        QFETCH(QString, text);
        Dbscout::CGotoDlg dialog(300, 50, total);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Go to"));
        QCOMPARE(dialog.objectName(), QStringLiteral("6905"));
        QCOMPARE(edit(&dialog, 6906)->text(), QStringLiteral("300"));
        QCOMPARE(edit(&dialog, 6907)->text(), QStringLiteral("50"));
        auto* totalLabel = dialog.findChild<QLabel*>(QStringLiteral("6909"));
        QVERIFY(totalLabel);
        QCOMPARE(totalLabel->text(), text);
    }

    void okReturnsValuesWithinBounds_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<int>("expectedStart");
        QTest::addColumn<int>("expectedPageSize");
        QTest::newRow("largest page") << "0"
                                      << "120" << 0 << 120;
        QTest::newRow("smallest page") << "40"
                                       << "1" << 40 << 1;
        QTest::newRow("largest start") << "2147483647"
                                       << "100" << 2147483647 << 100;
        QTest::newRow("blanks and sign") << "  +25 "
                                         << " 010" << 25 << 10;
    }
    void okReturnsValuesWithinBounds()
    {
        QFETCH(QString, start);
        QFETCH(QString, pageSize);
        ScriptedModal modal;
        modal.answerNextDialog(typeThenOk(start, pageSize));
        int pageStart = 500;
        int size = 100;
        QVERIFY(Dbscout::RunGotoDialog(nullptr, pageStart, size, 900));
        QTEST(pageStart, "expectedStart");
        QTEST(size, "expectedPageSize");
        QVERIFY(modal.messages().empty());
    }

    void outOfBoundValuesAreRefusedAndTheDialogStaysOpen_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        const QString startRange = "Please enter an integer between 0 and 2147483647.";
        const QString sizeRange = "Please enter an integer between 1 and 120.";
        const QString notNumber = "Please enter an integer.";
        QTest::newRow("page size 0") << "0"
                                     << "0" << 6907 << sizeRange;
        QTest::newRow("page size 121") << "0"
                                       << "121" << 6907 << sizeRange;
        QTest::newRow("page size -5") << "0"
                                      << "-5" << 6907 << sizeRange;
        QTest::newRow("start -1") << "-1"
                                  << "100" << 6906 << startRange;
        QTest::newRow("start past 2^31-1") << "2147483648"
                                           << "100" << 6906 << startRange;
        QTest::newRow("start past 64 bits") << "99999999999999999999999"
                                            << "100" << 6906 << startRange;
        QTest::newRow("start checked first") << "-1"
                                             << "0" << 6906 << startRange;
        QTest::newRow("empty start") << ""
                                     << "100" << 6906 << notNumber;
        QTest::newRow("letters in page size") << "0"
                                              << "12x" << 6907 << notNumber;
        QTest::newRow("fraction") << "1.5"
                                  << "100" << 6906 << notNumber;
        QTest::newRow("other digits")
            << QString::fromUtf8("\u0661\u0662") << "100" << 6906 << notNumber;
    }
    void outOfBoundValuesAreRefusedAndTheDialogStaysOpen()
    {
        QFETCH(QString, start);
        QFETCH(QString, pageSize);
        QFETCH(int, field);
        QFETCH(QString, message);
        ScriptedModal modal;
        bool stayedOpen = false;
        QString selected;
        modal.answerNextDialog([&](QDialog* dialog) {
            dialog->show();
            const int result = typeThenOk(start, pageSize)(dialog);
            stayedOpen = dialog->isVisible() && result == 0;
            selected = edit(dialog, field)->selectedText();
            click(dialog, 2);
            return dialog->result();
        });
        int pageStart = 500;
        int size = 100;
        QVERIFY(!Dbscout::RunGotoDialog(nullptr, pageStart, size, 900));
        QVERIFY(stayedOpen);
        QCOMPARE(selected, field == 6906 ? start : pageSize);
        QCOMPARE(modal.messages().size(), size_t(1));
        QCOMPARE(modal.messages()[0].text, message);
        QCOMPARE(modal.messages()[0].icon, QMessageBox::Warning);
        QCOMPARE(pageStart, 500);
        QCOMPARE(size, 100);
    }

    void aCorrectedValueIsAcceptedAfterARefusal()
    {
        ScriptedModal modal;
        modal.answerNextDialog([](QDialog* dialog) {
            typeThenOk("10", "121")(dialog);
            return typeThenOk("10", "120")(dialog);
        });
        int pageStart = 0;
        int size = 100;
        QVERIFY(Dbscout::RunGotoDialog(nullptr, pageStart, size, 900));
        QCOMPARE(modal.messages().size(), size_t(1));
        QCOMPARE(pageStart, 10);
        QCOMPARE(size, 120);
    }

    void cancelChangesNothing()
    {
        ScriptedModal modal;
        modal.answerNextDialog([](QDialog* dialog) {
            edit(dialog, 6906)->setText("7");
            edit(dialog, 6907)->setText("8");
            click(dialog, 2);
            return dialog->result();
        });
        int pageStart = 200;
        int size = 100;
        QVERIFY(!Dbscout::RunGotoDialog(nullptr, pageStart, size, 900));
        QCOMPARE(modal.dialogsShown(), 1);
        QCOMPARE(pageStart, 200);
        QCOMPARE(size, 100);
        QVERIFY(modal.messages().empty());
    }
};

QTEST_MAIN(GotoDialogTest)
#include "goto_dialog_test.moc"
