#include "save_dialog.h"

#include "panel_driving.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
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
    connect(m_frame, &PanelFrame::panelBuilt, this, &SaveDialog::onPanelBuilt);

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

void SaveDialog::setStartPlace(const QString& sourceText, const QString& subset)
{
    m_startSource = sourceText;
    m_startSubset = subset;
}

void SaveDialog::onPanelBuilt()
{
    // Watching the application's keys from now on puts this dialog before the panel, which
    // watches them from its build on.
    qApp->installEventFilter(this);
    if (!m_startSource.isEmpty())
        PanelDriving::showPlace(*m_frame, m_startSource, m_startSubset);
}

bool SaveDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        isAncestorOf(static_cast<QWidget*>(watched)) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
