#pragma once
// Every dialog of the component runs as the framework runs a modal dialog: the caller fills
// the public members, doModal puts them into the controls (OnInitDialog) and runs the dialog
// through the modal seam, and the confirming button reads them back (OnOK), which may refuse
// and keep the dialog open. Every control carries its resource id as objectName.

#include <QDialog>

class QHBoxLayout;
class QPushButton;

namespace Dbscout {

// The standard buttons' ids.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

class CModalDialog : public QDialog
{
    Q_OBJECT
public:
    // parent: the owner window (may be null); dialogId: the dialog's resource id.
    CModalDialog(QWidget* parent, int dialogId);

    // Initialises the controls and runs the dialog modally; QDialog::Accepted after a confirmed
    // OnOK, otherwise Rejected.
    int doModal();

    // Confirms through OnOK; stays open when OnOK refuses.
    void accept() override;

protected:
    virtual void OnInitDialog() {}
    // Reads the controls back into the members; false refuses the confirmation.
    virtual bool OnOK() { return true; }

    // A push button with the id kIdOk (confirms; the default button) or kIdCancel and the text.
    QPushButton* makeButton(int id, const char* text);
    // The confirming and cancelling buttons in a row at the right.
    QHBoxLayout* makeButtonRow(const char* okText, const char* cancelText);
};

} // namespace Dbscout
