#include "settings/options_pages.h"

#include "resources/texts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace Dbscout {

COptionsCheckoutPP::COptionsCheckoutPP(const Values& values, int serverVersion, QWidget* parent)
    : QWidget(parent), m_values(values)
{
    setObjectName(QString::number(IDD_OPTIONS_CHECKOUT_PAGE));
    setWindowTitle(QString::fromUtf8(Texts::CheckoutPageCaption));
    auto* group = new QGroupBox(QString::fromUtf8(Texts::CheckoutPageGroup), this);
    auto* boxes = new QVBoxLayout(group);
    const bool automaticEnabled = serverVersion >= 2;
    const bool descendantsEnabled = serverVersion >= 3;
    addCheck(boxes, IDC_CHECKOUT_PAGE_CHECKOUT_ON_OPEN, Texts::CheckoutOnOpenCheck,
             &Values::checkoutOnOpen, automaticEnabled);
    addCheck(boxes, IDC_CHECKOUT_PAGE_CHECKOUT_DESC, Texts::CheckoutDescCheck,
             &Values::checkoutDesc, descendantsEnabled);
    addCheck(boxes, IDC_CHECKOUT_PAGE_CHECKIN_ON_SAVE, Texts::CheckinOnSaveCheck,
             &Values::checkinOnSave, automaticEnabled);
    addCheck(boxes, IDC_CHECKOUT_PAGE_CHECKIN_DESC, Texts::CheckinDescCheck, &Values::checkinDesc,
             descendantsEnabled);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void COptionsCheckoutPP::addCheck(QVBoxLayout* layout, int id, const char* text,
                                  bool Values::*field, bool enabled)
{
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(QString::number(id));
    box->setChecked(m_values.*field);
    box->setEnabled(enabled);
    connect(box, &QCheckBox::toggled, this,
            [this, field](bool checked) { m_values.*field = checked; });
    layout->addWidget(box);
}

COptionsSavePP::COptionsSavePP(int recalcDesc, int leaveOnError, int serverVersion, QWidget* parent)
    : QWidget(parent), m_recalcDesc(recalcDesc), m_leaveOnError(leaveOnError)
{
    setObjectName(QString::number(IDD_OPTIONS_SAVE_PAGE));
    setWindowTitle(QString::fromUtf8(Texts::SavePageCaption));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QString::fromUtf8(Texts::SavePageIntro));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    const bool enabled = serverVersion >= 3;
    addGroup(layout, Texts::SavePageRecalcGroup,
             {{IDC_SAVE_PAGE_RECALC_DESC, Texts::SavePageRecalcDesc},
              {IDC_SAVE_PAGE_KEEP_DESC, Texts::SavePageKeepDesc},
              {IDC_SAVE_PAGE_DISCONNECT_DESC, Texts::SavePageDisconnectDesc}},
             m_recalcDesc, enabled);
    addGroup(layout, Texts::SavePageErrorGroup,
             {{IDC_SAVE_PAGE_LEAVE_ON_ERROR, Texts::SavePageLeaveOnError},
              {IDC_SAVE_PAGE_DISCONNECT_ON_ERROR, Texts::SavePageDisconnectOnError}},
             m_leaveOnError, enabled);
    layout->addStretch();
}

void COptionsSavePP::addGroup(QVBoxLayout* layout, const char* title,
                              std::initializer_list<Choice> choices, int& value, bool enabled)
{
    auto* box = new QGroupBox(QString::fromUtf8(title));
    auto* buttons = new QVBoxLayout(box);
    auto* group = new QButtonGroup(this);
    int index = 0;
    for (const Choice& choice : choices) {
        auto* button = new QRadioButton(QString::fromUtf8(choice.text));
        button->setObjectName(QString::number(choice.id));
        button->setChecked(index == value);
        button->setEnabled(enabled);
        group->addButton(button, index++);
        buttons->addWidget(button);
    }
    connect(group, &QButtonGroup::idToggled, this, [&value](int id, bool checked) {
        if (checked)
            value = id;
    });
    layout->addWidget(box);
}

} // namespace Dbscout
