#pragma once
// The name of a new subset (dialog 6925). Any text is taken; the caller refuses reserved names.

#include "platform/modal_dialog.h"

#include <string>

class QLineEdit;

namespace Dbscout {

class CSubsetNameDlg final : public CModalDialog
{
    Q_OBJECT
public:
    explicit CSubsetNameDlg(QWidget* parent = nullptr);

    std::string subsetName; // shown when the dialog opens, read back on OK

protected:
    void OnInitDialog() override;
    bool OnOK() override;

private:
    QLineEdit* m_edit;
};

} // namespace Dbscout
