#include "operations/subset_name_dlg.h"

#include "resources/ids.h"
#include "resources/texts.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Dbscout {

CSubsetNameDlg::CSubsetNameDlg(QWidget* parent) : CModalDialog(parent, IDD_SUBSET_NAME)
{
    setWindowTitle(QString::fromLocal8Bit(Texts::SubsetNameCaption));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(IDC_SUBSET_NAME));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(MakeButton(kIdOk, Texts::Ok));
    buttons->addWidget(MakeButton(kIdCancel, Texts::Cancel));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
}

void CSubsetNameDlg::OnInitDialog()
{
    m_edit->setText(QString::fromLocal8Bit(subsetName));
    m_edit->setFocus();
}

bool CSubsetNameDlg::OnOK()
{
    subsetName = m_edit->text().toLocal8Bit().toStdString();
    return true;
}

} // namespace Dbscout
