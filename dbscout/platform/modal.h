#pragma once
// The one seam through which the component runs modal dialogs and message boxes. Tests install
// their own ModalUi to answer dialogs and capture texts, so that no test blocks on a window.

#include <QMessageBox>

#include <string>

class QDialog;
class QWidget;

namespace Dbscout {

class ModalUi
{
public:
    virtual ~ModalUi();

    // Shows a modal message box and returns the button that closed it.
    virtual QMessageBox::StandardButton messageBox(QWidget* owner, QMessageBox::Icon icon,
                                                   const QString& caption, const QString& text,
                                                   QMessageBox::StandardButtons buttons);
    // Runs dialog modally and returns its result code (QDialog::Accepted or Rejected, or the
    // value given to done()).
    virtual int exec(QDialog* dialog);

    // The seam in force; the default shows real windows.
    static ModalUi& current();
    // Replaces the seam; null restores the default. The caller keeps ownership.
    static void install(ModalUi* ui);
};

// The component's error box: trims blanks and double quotes from both ends of text (the
// caller's string changes), captions it "Dbscout error" unless caption is given, and shows it
// modally with an OK button and the error icon.
void ShowError(QWidget* owner, std::string& text, const char* caption = nullptr);

} // namespace Dbscout
