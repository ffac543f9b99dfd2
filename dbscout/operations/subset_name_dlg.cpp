#include "operations/subset_name_dlg.h"

#include "resources/ids.h"
#include "resources/texts.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace Dbscout {

CSubsetNameDlg::CSubsetNameDlg(QWidget* parent) : CModalDialog(parent, IDD_SUBSET_NAME)
{
    setWindowTitle(QString::fromLocal8Bit(Texts::SubsetNameCaption));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(IDC_SUBSET_NAME));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(makeButtonRow(Texts::Ok, Texts::Cancel));
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
