#pragma once
// Finding a dialog's controls by their ids and answering dialogs inside scripted answers.

#include "support/scripted_modal.h"

#include "platform/modal_dialog.h"
#include "resources/ids.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace DbscoutTest {

template <typename Control> Control* FindControl(const QWidget* dialog, int id)
{
    return dialog->findChild<Control*>(QString::number(id));
}

// Clicks button id; the dialog's result is then Accepted only if it confirmed.
inline void Press(QDialog* dialog, int id)
{
    FindControl<QPushButton>(dialog, id)->click();
}

// A scripted answer that runs steps (which may use QCOMPARE and QVERIFY) and then answers with
// the dialog's result: Rejected unless the steps confirmed it.
inline ScriptedModal::DialogAnswer Scripted(std::function<void(QDialog*)> steps)
{
    return [steps = std::move(steps)](QDialog* dialog) {
        steps(dialog);
        return dialog->result();
    };
}

// A comment dialog answer: inspect looks at the dialog first, then text is typed (Enter for
// "\n") and OK pressed.
inline ScriptedModal::DialogAnswer TypeComment(const QString& text,
                                               std::function<void(QDialog*)> inspect = {})
{
    return Scripted([=](QDialog* d) {
        if (inspect)
            inspect(d);
        auto* edit = FindControl<QPlainTextEdit>(d, Dbscout::IDC_COMMENT_TEXT);
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, lines[i]);
        }
        Press(d, Dbscout::kIdOk);
    });
}

inline ScriptedModal::DialogAnswer TypeSubsetName(const QString& name)
{
    return Scripted([name](QDialog* d) {
        QTest::keyClicks(FindControl<QLineEdit>(d, Dbscout::IDC_SUBSET_NAME), name);
        Press(d, Dbscout::kIdOk);
    });
}

} // namespace DbscoutTest
