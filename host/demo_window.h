#pragma once
// The example host's main window: one Dbscout panel in open mode beside a view of the opened
// object. The panel is reached through the exported functions only, as any third-party host
// reaches it.

#include "object_fetcher.h"
#include "save_dialog.h"

#include <dbscout/registry.h>

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

class ObjectView;
class PanelFrame;
class QActionGroup;

class DemoWindow final : public QMainWindow
{
    Q_OBJECT

public:
    // settingsKey: the demo's own key; the panels keep their settings in subkeys of it.
    explicit DemoWindow(HKEY settingsKey);
    ~DemoWindow() override;

    PanelFrame* panelFrame() const { return m_panel; }
    ObjectView* objectView() const { return m_view; }
    // The open save dialog, if any.
    SaveDialog* saveDialog() const { return m_saveDialog; }

    // Rebuilds the panel for another kind of object (the codes of CreateScoutpane).
    void setDataType(int dataType);
    // File > Save to Database: the shown object; File > Save File to Database: a file.
    void saveShownObject();
    void saveFile(const QString& path);

signals:
    // A fetch ended (shown or failed) or a save ended (stored, declined or failed).
    void objectShown();
    void saveFinished(bool saved);

private:
    void buildMenus();
    void openPicked();
    void onFetched(const QByteArray& bytes, const QString& error);
    void askWhereToSave(const QByteArray& bytes, const QString& name, int dataType);
    bool storeObject(std::string url, std::string name, const QByteArray& bytes,
                     const QString& arcName);

    Dbscout::RegKey m_openSettings;
    Dbscout::RegKey m_saveSettings;
    HKEY m_settings = nullptr;
    PanelFrame* m_panel = nullptr;
    ObjectView* m_view = nullptr;
    QActionGroup* m_dataTypes = nullptr;
    QPointer<SaveDialog> m_saveDialog;
    ObjectFetcher m_fetcher;
    int m_dataType = 0;
    QString m_pickedName;
    QByteArray m_shownBytes;
    int m_shownDataType = 0;
};
