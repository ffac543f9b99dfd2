#include "operations/access_rights_dlg.h"

#include "resources/ids.h"
#include "resources/images.h"
#include "resources/strings.h"
#include "resources/texts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace Dbscout {

namespace {

void selectLevel(QComboBox* list, int level)
{
    list->setCurrentIndex(level >= kLevelNone && level <= kLevelFull ? level : -1);
}

} // namespace

CAccessRightsDlg::CAccessRightsDlg(QWidget* parent, bool forObjects, std::string targetName,
                                   int ownerLevel, int groupLevel, int otherLevel)
    : CModalDialog(parent, IDD_ACCESS_RIGHTS), ownerLevel(ownerLevel), otherLevel(otherLevel),
      groupLevel(groupLevel), forObjects(forObjects), targetName(std::move(targetName))
{
    m_explanation = new QLabel(this);
    m_explanation->setObjectName(QString::number(IDC_ACCESS_EXPLANATION));
    m_explanation->setWordWrap(true);
    m_owner = makeLevelList(IDC_ACCESS_OWNER);
    m_group = makeLevelList(IDC_ACCESS_GROUP);
    m_other = makeLevelList(IDC_ACCESS_OTHER);

    auto* lists = new QFormLayout;
    for (const auto& [label, list] :
         {std::pair{Texts::AccessOwnerLabel, m_owner}, std::pair{Texts::AccessGroupLabel, m_group},
          std::pair{Texts::AccessOtherLabel, m_other}}) {
        auto* text = new QLabel(QString::fromLocal8Bit(label), this);
        text->setBuddy(list);
        lists->addRow(text, list);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_explanation);
    layout->addLayout(lists);
    layout->addLayout(makeButtonRow(Texts::AccessSetButton, Texts::CancelMnemonic));
}

QComboBox* CAccessRightsDlg::makeLevelList(int id)
{
    const QList<QPixmap> images = loadImageStrip(IDB_ACCESS_LEVELS);
    auto* list = new QComboBox(this);
    list->setObjectName(QString::number(id));
    const char* const texts[] = {Texts::AccessNone, Texts::AccessRead, Texts::AccessFull};
    for (int level = kLevelNone; level <= kLevelFull; ++level)
        list->addItem(QIcon(images.value(level)), QString::fromLocal8Bit(texts[level]));
    return list;
}

void CAccessRightsDlg::OnInitDialog()
{
    selectLevel(m_owner, ownerLevel);
    selectLevel(m_group, groupLevel);
    selectLevel(m_other, otherLevel);
    m_explanation->setText(QString::fromLocal8Bit(
        LoadString(forObjects ? IDS_OBJECT_ACCESS_EXPLANATION : IDS_SUBSET_ACCESS_EXPLANATION)));
    setWindowTitle(QString::fromLocal8Bit(
        LoadString(forObjects ? IDS_OBJECT_ACCESS_CAPTION : IDS_SUBSET_ACCESS_CAPTION) +
        targetName));
}

bool CAccessRightsDlg::OnOK()
{
    ownerLevel = m_owner->currentIndex();
    groupLevel = m_group->currentIndex();
    otherLevel = m_other->currentIndex();
    return true;
}

} // namespace Dbscout
