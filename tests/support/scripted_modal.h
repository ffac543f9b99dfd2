#pragma once
// A ModalUi for tests: records every message box and answers dialogs from a script instead of
// showing windows. Installed for its lifetime.

#include "platform/modal.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QDialog;

namespace DbscoutTest {

struct ShownMessage
{
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

class ScriptedModal final : public Dbscout::ModalUi
{
public:
    // How a scripted dialog is answered: the function may fill the dialog's controls and
    // returns the result code.
    using DialogAnswer = std::function<int(QDialog*)>;

    ScriptedModal();
    ~ScriptedModal() override;

    QMessageBox::StandardButton messageBox(QWidget* owner, QMessageBox::Icon icon,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons) override;
    int exec(QDialog* dialog) override;

    // Answers for the next dialogs, in order; a dialog with no answer left is rejected.
    void answerNextDialog(DialogAnswer answer) { m_answers.push_back(std::move(answer)); }
    // The button the next message boxes return (OK by default).
    void setMessageBoxAnswer(QMessageBox::StandardButton button) { m_button = button; }

    const std::vector<ShownMessage>& messages() const { return m_messages; }
    int dialogsShown() const { return m_dialogs; }
    void clear() { m_messages.clear(); m_dialogs = 0; }

private:
    std::vector<ShownMessage> m_messages;
    std::deque<DialogAnswer> m_answers;
    QMessageBox::StandardButton m_button = QMessageBox::Ok;
    int m_dialogs = 0;
};

} // namespace DbscoutTest
