#pragma once
// The example host's main window: one Dbscout panel in open mode beside a view of the opened
// object. The panel is reached through the exported functions only, as any third-party host
// reaches it.

#include "object_fetcher.h"
#include "panel_frame.h"
#include "save_dialog.h"
#include "web_sources_dialog.h"

#include <set>
#include <string>

#include <dbscout/registry.h>

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class BatchDialog;
class CopyBox;
class LocalCopier;
class OpenedRecords;
class RecordBatch;
enum class CopyOutcome;
class ObjectView;
class PanelFrame;
class QActionGroup;
class QLabel;

class DemoWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // settingsKey: the demo's own key; the panels keep their settings in subkeys of it.
    explicit DemoWindow(HKEY settingsKey);
    ~DemoWindow() override;

    PanelFrame* panelFrame() const { return m_panel; }
    ObjectView* objectView() const;
    OpenedRecords* openedRecords() const { return m_opened; }
    // The batch of a multi-selection, and its dialog while it is open.
    RecordBatch* batch() const { return m_batch; }
    BatchDialog* batchDialog() const;
    // The open save dialog (also the one that chooses where copies go), if any.
    SaveDialog* saveDialog() const { return m_saveDialog; }
    CopyBox* copyBox() const { return m_copyBox; }
    LocalCopier* copier() const { return m_copier; }
    // The bytes of the object shown last, as its handler gave them.
    const QByteArray& shownBytes() const { return m_shownBytes; }

    // Rebuilds the panel for another kind of object (the codes of CreateScoutpane).
    void setDataType(int dataType);
    // File > Save to Database: the shown object; File > Save File to Database: a file.
    void saveShownObject();
    void saveFile(const QString& path);
    // File > Where Copies Go: a panel in save mode picks the data source and subset that the
    // copies of the "cc: to Local DB" box go to; it starts at the place they go to now.
    void chooseCopyPlace();
    // Settings > Web Sources: the open dialog, if any.
    void editWebSources();
    WebSourcesDialog* webSourcesDialog() const { return m_webSources; }
    // The status bar's lasting line about the last copy made (or not made) for the box.
    QLabel* lastCopyLine() const { return m_lastCopy; }

signals:
    // A fetch ended (shown or failed) or a save ended (stored, declined or failed).
    void objectShown();
    // Every record of a multi-selection has its outcome (or the batch was cancelled).
    void batchFinished();
    void saveFinished(bool saved);
    // A copy for the "cc: to Local DB" box ended; copied when a revision was stored.
    void copyFinished(bool copied);

private:
    void buildMenus();
    void onPanelBuilt();
    void onCopyFinished(CopyOutcome outcome, const QString& message);
    void openPicked();
    void onFetched(const QByteArray& bytes, const QString& error);
    void openBatch(const PanelPick& pick);
    void onBatchOpened(size_t index, const QByteArray& bytes, const std::string& origin);
    void onShownRecord();
    void askWhereToSave(const QByteArray& bytes, const QString& name, int dataType,
                        const std::string& origin);
    bool storeObject(std::string url, std::string name, const QByteArray& bytes,
                     const QString& arcName, const std::string& origin);

    Dbscout::RegKey m_openSettings;
    Dbscout::RegKey m_saveSettings;
    Dbscout::RegKey m_placeSettings;
    HKEY m_settings = nullptr;
    PanelFrame* m_panel = nullptr;
    OpenedRecords* m_opened = nullptr;
    RecordBatch* m_batch = nullptr;
    QPointer<BatchDialog> m_batchDialog;
    std::set<size_t> m_batchShown; // the records of the batch in the view
    QActionGroup* m_dataTypes = nullptr;
    QPointer<SaveDialog> m_saveDialog;
    QPointer<WebSourcesDialog> m_webSources;
    QLabel* m_lastCopy = nullptr;
    QStringList m_copiesMade; // this session's copy messages, the latest first
    ObjectFetcher m_fetcher;
    CopyBox* m_copyBox = nullptr;
    LocalCopier* m_copier = nullptr;
    int m_dataType = 0;
    QString m_pickedName;
    QString m_searchAdvice; // shown in the status bar until a search lists
    std::string m_pickedUrl;
    bool m_copyWanted = false; // the box was checked at the pick of an object from elsewhere
    QByteArray m_shownBytes;
    int m_shownDataType = 0;
    std::string m_shownOrigin; // the shown object's address when it is not in the local store
};
