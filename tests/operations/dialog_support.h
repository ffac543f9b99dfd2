#pragma once
// Finding a dialog's controls by their ids and pressing its buttons inside scripted answers.

#include "support/scripted_modal.h"

#include <QDialog>
#include <QPushButton>
#include <QString>

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

} // namespace DbscoutTest
