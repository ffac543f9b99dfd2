#include "platform/modal_dialog.h"

#include "platform/modal.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace Dbscout {

CModalDialog::CModalDialog(QWidget* parent, int dialogId) : QDialog(parent)
{
    setObjectName(QString::number(dialogId));
    setModal(true);
}

int CModalDialog::doModal()
{
    OnInitDialog();
    return ModalUi::current().exec(this) == QDialog::Accepted ? QDialog::Accepted
                                                              : QDialog::Rejected;
}

void CModalDialog::accept()
{
    if (OnOK())
        QDialog::accept();
}

QPushButton* CModalDialog::makeButton(int id, const char* text)
{
    auto* button = new QPushButton(QString::fromLocal8Bit(text), this);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    if (id == kIdOk) {
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, &CModalDialog::accept);
    } else {
        connect(button, &QPushButton::clicked, this, &CModalDialog::reject);
    }
    return button;
}

QHBoxLayout* CModalDialog::makeButtonRow(const char* okText, const char* cancelText)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(makeButton(kIdOk, okText));
    row->addWidget(makeButton(kIdCancel, cancelText));
    return row;
}

} // namespace Dbscout
