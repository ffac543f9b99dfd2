#include "support/scripted_modal.h"

#include <QDialog>

namespace DbscoutTest {

ScriptedModal::ScriptedModal()
{
    Dbscout::ModalUi::install(this);
}

ScriptedModal::~ScriptedModal()
{
    Dbscout::ModalUi::install(nullptr);
}

QMessageBox::StandardButton ScriptedModal::messageBox(QWidget*, QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons)
{
    m_messages.push_back({icon, caption, text});
    return m_button;
}

int ScriptedModal::exec(QDialog* dialog)
{
    ++m_dialogs;
    if (m_answers.empty())
        return QDialog::Rejected;
    DialogAnswer answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer(dialog);
}

} // namespace DbscoutTest
