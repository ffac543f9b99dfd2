#include "copy_box.h"

#include "configured_sources.h"
#include "copy_place.h"
#include "panel_frame.h"
#include "settings_values.h"

#include <dbscout/controls.h>

#include <QCheckBox>
#include <QComboBox>

namespace {

constexpr const char* kCheckedValue = "CopyToLocalDB";

} // namespace

CopyBox::CopyBox(HKEY settingsKey, QObject* parent) : QObject(parent), m_settings(settingsKey) {}

void CopyBox::attach(PanelFrame& frame)
{
    m_frame = &frame;
    m_box.clear();
    connect(&frame, &PanelFrame::panelBuilt, this, &CopyBox::findControls, Qt::UniqueConnection);
}

bool CopyBox::isChecked() const
{
    CDbscout* panel = m_frame ? m_frame->panel() : nullptr;
    if (panel && m_box)
        return panel->IsBoxChecked();
    return readNumber(m_settings, kCheckedValue).value_or(0) == 1;
}

bool CopyBox::isOffered() const
{
    return m_box && m_box->isVisibleTo(m_box->window()) && m_box->isEnabled();
}

void CopyBox::findControls()
{
    CDbscout* panel = m_frame ? m_frame->panel() : nullptr;
    auto* box = m_frame ? m_frame->control<QCheckBox>(Dbscout::IDC_LOCAL_COPY) : nullptr;
    auto* sources = m_frame ? m_frame->control<QComboBox>(Dbscout::IDC_DATASOURCE) : nullptr;
    if (!panel || !box || !sources)
        return;
    const bool kept = isChecked();
    m_box = box;
    m_sources = readConfiguredSources();
    panel->CheckBox(kept ? 1 : 0);
    connect(box, &QCheckBox::toggled, this,
            [this](bool checked) { writeNumber(m_settings, kCheckedValue, checked ? 1 : 0); });
    connect(sources, &QComboBox::currentTextChanged, this, &CopyBox::followSource);
    followSource(sources->currentText());
}

void CopyBox::followSource(const QString& sourceText)
{
    if (!m_box)
        return;
    const std::string address = sourceAddressOf(m_sources, sourceText.toLocal8Bit().toStdString());
    m_box->setEnabled(!isLocalAddress(address));
}
