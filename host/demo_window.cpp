#include "demo_window.h"

#include "batch_dialog.h"
#include "copy_box.h"
#include "local_copier.h"
#include "object_saver.h"
#include "object_view.h"
#include "opened_records.h"
#include "panel_frame.h"
#include "record.h"
#include "record_batch.h"
#include "save_dialog.h"
#include "settings_values.h"
#include "web_sources_dialog.h"

#include <dbscout/controls.h>

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTimer>

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
    const DWORD value = readNumber(key, kDataTypeValue).value_or(0);
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
        m_placeSettings.create(settingsKey, "Copy Place Panel");
        m_dataType = storedDataType(settingsKey);
    }
    m_copyBox = new CopyBox(settingsKey, this);
    m_copier = new LocalCopier(settingsKey, this);
    m_batch = new RecordBatch(*m_copier, this);
    m_panel = new PanelFrame;
    m_opened = new OpenedRecords;
    auto* split = new QSplitter;
    split->addWidget(m_panel);
    split->addWidget(m_opened);
    split->setChildrenCollapsible(false);
    split->setSizes({760, 520});
    m_panel->setMinimumWidth(420);
    setCentralWidget(split);
    buildMenus();

    m_lastCopy = new QLabel;
    m_lastCopy->setObjectName(QStringLiteral("lastCopy"));
    m_lastCopy->hide();
    statusBar()->addPermanentWidget(m_lastCopy);

    connect(m_panel, &PanelFrame::picked, this, &DemoWindow::openPicked);
    connect(m_panel, &PanelFrame::panelBuilt, this, &DemoWindow::onPanelBuilt);
    connect(&m_fetcher, &ObjectFetcher::finished, this, &DemoWindow::onFetched);
    connect(m_copier, &LocalCopier::finished, this, &DemoWindow::onCopyFinished);
    connect(m_opened, &OpenedRecords::currentChanged, this, &DemoWindow::onShownRecord);
    connect(m_batch, &RecordBatch::opened, this, &DemoWindow::onBatchOpened);
    connect(m_batch, &RecordBatch::finished, this, [this] {
        // After the last copy's own message.
        QTimer::singleShot(0, this, [this] { statusBar()->showMessage(m_batch->summary()); });
        if (m_opened->count() == 0)
            objectView()->showMessage(m_batch->summary());
        emit batchFinished();
    });
    setDataType(m_dataType);
    statusBar()->showMessage(tr("Pick a data source, type a subset or query and press Go."));
}

DemoWindow::~DemoWindow()
{
    // The panels go before the keys they keep their settings in.
    delete m_batchDialog;
    m_batch->cancel();
    delete m_saveDialog;
    m_panel->stop();
}

ObjectView* DemoWindow::objectView() const
{
    return m_opened->view();
}

BatchDialog* DemoWindow::batchDialog() const
{
    return m_batchDialog;
}

void DemoWindow::buildMenus()
{
    // The menus leave the panel its own Alt keys: "&Data Source", "&Filter", "Object &name",
    // "&Go!" and "&cc: to Local DB". A menu on one of them would share it with the panel's
    // control, and the key would then open the one and the other in turn; so the File menu is
    // Alt+E here, and the Filter box is also Ctrl+F, from anywhere in the window.
    QMenu* file = menuBar()->addMenu(tr("Fil&e"));
    file->addAction(tr("&Save to Database..."), QKeySequence(tr("Ctrl+Shift+S")), this,
                    &DemoWindow::saveShownObject);
    file->addAction(tr("Save &File to Database..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Save File to Database"));
        if (!path.isEmpty())
            saveFile(path);
    });
    file->addAction(tr("Where Copies &Go..."), this, &DemoWindow::chooseCopyPlace);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Filter Box"), QKeySequence(tr("Ctrl+F")), this, [this] {
        if (auto* box = m_panel->control<QComboBox>(Dbscout::IDC_QUERY)) {
            box->setFocus(Qt::ShortcutFocusReason);
            box->lineEdit()->selectAll();
        }
    });
    view->addSection(tr("Data Type"));
    m_dataTypes = new QActionGroup(this);
    for (const DataTypeChoice& choice : kDataTypes) {
        QAction* action = view->addAction(tr(choice.label));
        action->setCheckable(true);
        action->setData(choice.code);
        action->setChecked(choice.code == m_dataType);
        m_dataTypes->addAction(action);
    }
    connect(m_dataTypes, &QActionGroup::triggered, this,
            [this](QAction* action) { setDataType(action->data().toInt()); });

    QMenu* settings = menuBar()->addMenu(tr("&Settings"));
    settings->addAction(tr("&Web Sources..."), this, &DemoWindow::editWebSources);
}

void DemoWindow::onPanelBuilt()
{
    // Picking an NCBI source lists nothing until the user searches: say how, where a first
    // start says what to do, until the search puts its first row in the list.
    auto* sources = m_panel->control<QComboBox>(Dbscout::IDC_DATASOURCE);
    auto* rows = m_panel->control<QTreeWidget>(Dbscout::IDC_LIST);
    if (!sources || !rows)
        return;
    connect(sources, &QComboBox::activated, this, [this, sources](int index) {
        const QString text = sources->itemText(index);
        if (sourceAddressOf(readConfiguredSources(), text.toLocal8Bit().toStdString())
                .starts_with("ncbi:")) {
            m_searchAdvice = tr("%1 lists records only for a search: type words, an author or "
                                "an accession in the Filter box (Alt+F) and press Go.")
                                 .arg(text);
            statusBar()->showMessage(m_searchAdvice);
        }
    });
    connect(rows->model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (!m_searchAdvice.isEmpty() && statusBar()->currentMessage() == m_searchAdvice)
            statusBar()->clearMessage();
        m_searchAdvice.clear();
    });
}

void DemoWindow::onCopyFinished(CopyOutcome outcome, const QString& message)
{
    const bool copied = outcome == CopyOutcome::Copied || outcome == CopyOutcome::Replaced;
    statusBar()->showMessage(message);
    // Where the copies went stays in sight after the next message, and the session's copies
    // with it.
    constexpr int kCopiesListed = 20;
    m_copiesMade.prepend(message);
    if (m_copiesMade.size() > kCopiesListed)
        m_copiesMade.removeLast();
    m_lastCopy->setText(message);
    m_lastCopy->setToolTip(tr("Copies made since the start, the latest first:\n%1")
                               .arg(m_copiesMade.join(QLatin1Char('\n'))));
    m_lastCopy->show();
    emit copyFinished(copied);
}

void DemoWindow::editWebSources()
{
    delete m_webSources;
    m_webSources = new WebSourcesDialog(this);
    m_webSources->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_webSources, &QDialog::accepted, this, [this] {
        statusBar()->showMessage(tr("Web sources' settings saved: the next request uses them."));
    });
    m_webSources->open();
}

void DemoWindow::setDataType(int dataType)
{
    if (dataType == m_dataType && m_panel->panel())
        return;
    m_dataType = dataType;
    for (QAction* action : m_dataTypes->actions())
        action->setChecked(action->data().toInt() == dataType);
    writeNumber(m_settings, kDataTypeValue, DWORD(dataType));
    PanelSetup setup;
    setup.settingsKey = m_openSettings.get();
    setup.dataType = dataType;
    if (!m_panel->start(setup)) {
        statusBar()->showMessage(tr("The Dbscout panel could not be created."));
        return;
    }
    m_copyBox->attach(*m_panel);
}

void DemoWindow::openPicked()
{
    const PanelPick pick = m_panel->currentPick();
    if (!pick.valid) {
        statusBar()->showMessage(tr("The panel gave no address for the picked object."));
        emit objectShown();
        return;
    }
    // The box counts for objects from elsewhere only: the local store has its own already.
    m_copyWanted = m_copyBox->isChecked() && !isLocalAddress(pick.url);
    if (pick.name.find(',') != std::string::npos)
        return openBatch(pick);
    m_pickedName = QString::fromLocal8Bit(pick.name);
    m_pickedUrl = pick.url;
    statusBar()->showMessage(tr("Opening %1...").arg(m_pickedName));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_fetcher.fetch(pick.url);
}

void DemoWindow::onFetched(const QByteArray& bytes, const QString& error)
{
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        m_opened->clear();
        objectView()->showMessage(tr("%1 could not be opened: %2").arg(m_pickedName, error));
        statusBar()->showMessage(tr("Could not open %1: %2").arg(m_pickedName, error));
    } else {
        const ObjectRecord record = readObjectRecord(bytes);
        // The panel names picked objects by their ids; the record knows its own name.
        const QString name = recordName(record);
        // Where a copy of it came from.
        const std::string origin =
            isLocalAddress(m_pickedUrl) ? std::string() : publicAddress(m_pickedUrl);
        m_opened->clear();
        m_opened->add({name.isEmpty() ? m_pickedName : name, bytes, record, origin});
        statusBar()->showMessage(tr("Opened %1").arg(objectView()->summary()));
        if (m_copyWanted) {
            // After the record shows: the copy runs its own dialogs.
            QTimer::singleShot(0, m_copier, [this, bytes, record, origin] {
                m_copier->copy(bytes, record, origin);
            });
        }
    }
    emit objectShown();
}

void DemoWindow::openBatch(const PanelPick& pick)
{
    delete m_batchDialog;
    m_batchShown.clear();
    m_batch->start(pick.url, m_copyWanted);
    const size_t count = m_batch->items().size();
    m_opened->clear();
    objectView()->showMessage(tr("Opening %1 records...").arg(count));
    statusBar()->showMessage(tr("Opening %1 records...").arg(count));
    const std::optional<CopyPlace> place = m_copier->place();
    m_batchDialog = new BatchDialog(
        *m_batch, place ? place->description(readConfiguredSources()) : QString(), this);
    m_batchDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_batchDialog->show();
}

void DemoWindow::onBatchOpened(size_t index, const QByteArray& bytes, const std::string& origin)
{
    if (!m_batchShown.insert(index).second)
        return; // opened again to be retried; the view has it

    const ObjectRecord record = readObjectRecord(bytes);
    const QString name = recordName(record);
    m_opened->add({name.isEmpty() ? m_batch->items()[index].id : name, bytes, record,
                   isLocalAddress(origin) ? std::string() : origin});
}

void DemoWindow::onShownRecord()
{
    const OpenedObject* shown = m_opened->current();
    if (!shown)
        return;
    m_pickedName = shown->name;
    m_shownBytes = shown->bytes;
    m_shownDataType = dataTypeOf(shown->record);
    m_shownOrigin = shown->origin;
}

void DemoWindow::saveShownObject()
{
    if (m_shownBytes.isEmpty()) {
        statusBar()->showMessage(
            tr("Open an object first, or save a file with File > Save File to Database."));
        return;
    }
    askWhereToSave(m_shownBytes, m_pickedName, m_shownDataType, m_shownOrigin);
}

void DemoWindow::saveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        statusBar()->showMessage(tr("Cannot read %1: %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    askWhereToSave(bytes, QFileInfo(path).completeBaseName(), dataTypeOf(readObjectRecord(bytes)),
                   {});
}

void DemoWindow::chooseCopyPlace()
{
    delete m_saveDialog;
    m_saveDialog =
        new SaveDialog(m_placeSettings.get(), 0, tr("(each record's accession)"), this, true);
    m_saveDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_saveDialog->setWindowTitle(tr("Where Copies Go"));
    const std::vector<ConfiguredSource> sources = readConfiguredSources();
    const std::optional<CopyPlace> current = m_copier->place();
    m_saveDialog->setHint(
        tr("Records opened with \"cc: to Local DB\" checked are copied into this data source "
           "and subset, under their accessions; a subset of that name is made in each kind that "
           "has none. Now: %1.")
            .arg(current ? current->description(sources) : tr("nowhere")));
    if (current)
        m_saveDialog->setStartPlace(
            QString::fromLocal8Bit(sourceTextOf(sources, current->sourceAddress())),
            current->subset());
    connect(m_saveDialog, &QDialog::finished, this, [this](int result) {
        const PanelPick pick = m_saveDialog ? m_saveDialog->pick() : PanelPick();
        if (result != QDialog::Accepted)
            return;
        const std::optional<CopyPlace> place = CopyPlace::fromSaveUrl(pick.url);
        if (!place) {
            statusBar()->showMessage(tr("Copies go into a molb store: choose one of its data "
                                        "sources."));
            return;
        }
        m_copier->choosePlace(*place);
        statusBar()->showMessage(
            tr("Copies go to %1.").arg(place->description(readConfiguredSources())));
    });
    m_saveDialog->open();
}

void DemoWindow::askWhereToSave(const QByteArray& bytes, const QString& name, int dataType,
                                const std::string& origin)
{
    delete m_saveDialog;
    m_saveDialog = new SaveDialog(m_saveSettings.get(), dataType, name, this);
    m_saveDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_saveDialog, &QDialog::finished, this, [this, bytes, name, origin](int result) {
        const PanelPick pick = m_saveDialog ? m_saveDialog->pick() : PanelPick();
        if (result != QDialog::Accepted) {
            statusBar()->showMessage(tr("Not saved."));
            emit saveFinished(false);
            return;
        }
        emit saveFinished(storeObject(pick.url, pick.name, bytes, name, origin));
    });
    m_saveDialog->open();
}

bool DemoWindow::storeObject(std::string url, std::string name, const QByteArray& bytes,
                             const QString& arcName, const std::string& origin)
{
    // A record opened from elsewhere keeps where it came from, as the local copies do.
    const std::string archive = origin.empty() ? arcName.toLocal8Bit().toStdString() : origin;
    if (!origin.empty())
        appendCopiedFrom(url, origin);
    const QString wanted = QString::fromLocal8Bit(name);
    ReplaceQuestion question{tr("Save to Database"), false, std::nullopt, {}};
    const SaveOutcome outcome =
        saveAskingBeforeReplacing(url, name, archive, bytes, question, this);
    const QString stored = QString::fromLocal8Bit(name);
    switch (outcome) {
    case SaveOutcome::Saved:
        statusBar()->showMessage(tr("Saved %1.").arg(stored));
        return true;
    case SaveOutcome::SavedAsRevision:
        statusBar()->showMessage(tr("Saved %1 as a new revision.").arg(stored));
        return true;
    case SaveOutcome::Declined:
        statusBar()->showMessage(tr("Not saved: %1 already exists.").arg(stored));
        return false;
    case SaveOutcome::Failed:
    case SaveOutcome::Cancelled:
        break;
    }
    // The panel has shown the reason, or the user cancelled.
    statusBar()->showMessage(tr("%1 was not saved.").arg(wanted));
    return false;
}
