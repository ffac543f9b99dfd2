#include "demo_window.h"

#include "object_view.h"
#include "panel_frame.h"
#include "record.h"
#include "save_dialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>

namespace {

constexpr const char* kDataTypeValue = "DataType";

struct DataTypeChoice
{
    int code;
    const char* label;
};

// The kinds the panel can be asked for, in the order the menu shows them.
constexpr DataTypeChoice kDataTypes[] = {
    {0, "&All Kinds"},  {1, "&DNA/RNA"},        {2, "&Protein"},   {-1, "DNA/RNA &or Protein"},
    {14, "&Citations"}, {15, "&BLAST Results"}, {17, "A&nalyses"},
};

int storedDataType(HKEY key)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key, kDataTypeValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    for (const DataTypeChoice& choice : kDataTypes) {
        if (choice.code == int(value))
            return choice.code;
    }
    return 0;
}

} // namespace

DemoWindow::DemoWindow(HKEY settingsKey) : m_settings(settingsKey)
{
    setWindowTitle(tr("Molbench demo"));
    if (settingsKey) {
        m_openSettings.create(settingsKey, "Open Panel");
        m_saveSettings.create(settingsKey, "Save Panel");
        m_dataType = storedDataType(settingsKey);
    }
    m_panel = new PanelFrame;
    m_view = new ObjectView;
    auto* split = new QSplitter;
    split->addWidget(m_panel);
    split->addWidget(m_view);
    split->setChildrenCollapsible(false);
    split->setSizes({760, 520});
    m_panel->setMinimumWidth(420);
    setCentralWidget(split);
    buildMenus();

    connect(m_panel, &PanelFrame::picked, this, &DemoWindow::openPicked);
    connect(&m_fetcher, &ObjectFetcher::finished, this, &DemoWindow::onFetched);
    setDataType(m_dataType);
    statusBar()->showMessage(tr("Pick a data source, type a subset or query and press Go."));
}

DemoWindow::~DemoWindow()
{
    // The panels go before the keys they keep their settings in.
    delete m_saveDialog;
    m_panel->stop();
}

void DemoWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Save to Database..."), QKeySequence(tr("Ctrl+Shift+S")), this,
                    &DemoWindow::saveShownObject);
    file->addAction(tr("Save &File to Database..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Save File to Database"));
        if (!path.isEmpty())
            saveFile(path);
    });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* kinds = menuBar()->addMenu(tr("&Data Type"));
    m_dataTypes = new QActionGroup(this);
    for (const DataTypeChoice& choice : kDataTypes) {
        QAction* action = kinds->addAction(tr(choice.label));
        action->setCheckable(true);
        action->setData(choice.code);
        action->setChecked(choice.code == m_dataType);
        m_dataTypes->addAction(action);
    }
    connect(m_dataTypes, &QActionGroup::triggered, this,
            [this](QAction* action) { setDataType(action->data().toInt()); });
}

void DemoWindow::setDataType(int dataType)
{
    if (dataType == m_dataType && m_panel->panel())
        return;
    m_dataType = dataType;
    for (QAction* action : m_dataTypes->actions())
        action->setChecked(action->data().toInt() == dataType);
    if (m_settings) {
        const DWORD value = DWORD(dataType);
        RegSetValueExA(m_settings, kDataTypeValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    PanelSetup setup;
    setup.settingsKey = m_openSettings.get();
    setup.dataType = dataType;
    if (!m_panel->start(setup))
        statusBar()->showMessage(tr("The Dbscout panel could not be created."));
}

void DemoWindow::openPicked()
{
    const PanelPick pick = m_panel->currentPick();
    if (!pick.valid) {
        statusBar()->showMessage(tr("The panel gave no address for the picked object."));
        emit objectShown();
        return;
    }
    m_pickedName = QString::fromLocal8Bit(pick.name);
    statusBar()->showMessage(tr("Opening %1...").arg(m_pickedName));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_fetcher.fetch(pick.url);
}

void DemoWindow::onFetched(const QByteArray& bytes, const QString& error)
{
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        m_view->showMessage(tr("%1 could not be opened: %2").arg(m_pickedName, error));
        statusBar()->showMessage(tr("Could not open %1: %2").arg(m_pickedName, error));
    } else {
        const ObjectRecord record = readObjectRecord(bytes);
        // The panel names picked objects by their ids; the record knows its own name.
        if (const QString name = recordName(record); !name.isEmpty())
            m_pickedName = name;
        m_view->showRecord(record);
        m_shownBytes = bytes;
        m_shownDataType = dataTypeOf(record);
        statusBar()->showMessage(tr("Opened %1").arg(m_view->summary()));
    }
    emit objectShown();
}

void DemoWindow::saveShownObject()
{
    if (m_shownBytes.isEmpty()) {
        statusBar()->showMessage(
            tr("Open an object first, or save a file with File > Save File to Database."));
        return;
    }
    askWhereToSave(m_shownBytes, m_pickedName, m_shownDataType);
}

void DemoWindow::saveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        statusBar()->showMessage(tr("Cannot read %1: %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    askWhereToSave(bytes, QFileInfo(path).completeBaseName(), dataTypeOf(readObjectRecord(bytes)));
}

void DemoWindow::askWhereToSave(const QByteArray& bytes, const QString& name, int dataType)
{
    delete m_saveDialog;
    m_saveDialog = new SaveDialog(m_saveSettings.get(), dataType, name, this);
    m_saveDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_saveDialog, &QDialog::finished, this, [this, bytes, name](int result) {
        const PanelPick pick = m_saveDialog ? m_saveDialog->pick() : PanelPick();
        if (result != QDialog::Accepted) {
            statusBar()->showMessage(tr("Not saved."));
            emit saveFinished(false);
            return;
        }
        emit saveFinished(storeObject(pick.url, pick.name, bytes, name));
    });
    m_saveDialog->open();
}

bool DemoWindow::storeObject(std::string url, std::string name, const QByteArray& bytes,
                             const QString& arcName)
{
    const std::string archive = arcName.toLocal8Bit().toStdString();
    const std::string wanted = name;
    int exists = 0;
    if (SaveObject(name, archive, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                   this)) {
        statusBar()->showMessage(tr("Saved %1.").arg(QString::fromLocal8Bit(name)));
        return true;
    }
    if (!exists) {
        // The panel has shown the reason, or the user cancelled.
        statusBar()->showMessage(tr("%1 was not saved.").arg(QString::fromLocal8Bit(wanted)));
        return false;
    }
    const QString existing = QString::fromLocal8Bit(name);
    const auto answer = QMessageBox::question(
        this, tr("Save to Database"),
        tr("An object named %1 already exists there. Replace it with a new revision?")
            .arg(existing));
    if (answer != QMessageBox::Yes) {
        statusBar()->showMessage(tr("Not saved: %1 already exists.").arg(existing));
        return false;
    }
    name = wanted;
    if (SaveObject(name, archive, url.c_str(), bytes.constData(), int(bytes.size()), exists,
                   this)) {
        statusBar()->showMessage(
            tr("Saved %1 as a new revision.").arg(QString::fromLocal8Bit(name)));
        return true;
    }
    statusBar()->showMessage(tr("%1 was not saved.").arg(QString::fromLocal8Bit(wanted)));
    return false;
}
