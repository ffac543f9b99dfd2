#include "save_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

SaveDialog::SaveDialog(HKEY settingsKey, int dataType, const QString& name, QWidget* parent,
                       bool nameFixed)
    : QDialog(parent)
{
    setWindowTitle(tr("Save to Database"));
    setObjectName(QStringLiteral("SaveDialog"));
    m_hint = new QLabel(tr("Choose the data source and the subset to save into, then the name to "
                           "store the object under."));
    m_hint->setWordWrap(true);
    m_frame = new PanelFrame;
    m_frame->setMinimumSize(560, 360);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SaveDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SaveDialog::reject);
    // The panel takes Enter for itself; the Save button is not a default button.
    buttons->button(QDialogButtonBox::Save)->setAutoDefault(false);
    connect(m_frame, &PanelFrame::picked, this, &SaveDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_hint);
    layout->addWidget(m_frame, 1);
    layout->addWidget(buttons);
    resize(720, 480);

    PanelSetup setup;
    setup.settingsKey = settingsKey;
    setup.openMode = false;
    setup.dataType = dataType;
    setup.initial = name.toLocal8Bit().toStdString();
    setup.initialIsName = !name.isEmpty();
    setup.lockName = nameFixed && !name.isEmpty();
    m_frame->start(setup);
}

void SaveDialog::setHint(const QString& hint)
{
    m_hint->setText(hint);
}

void SaveDialog::accept()
{
    m_pick = m_frame->currentPick();
    if (!m_pick.valid || m_pick.name.empty()) {
        QMessageBox::information(this, windowTitle(),
                                 tr("Choose a data source and a subset, and type a name."));
        return;
    }
    QDialog::accept();
}
