#pragma once
// A panel embedded in a host window, in a private settings store with the test handler
// registered for molb, driven the way a user drives it.

#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <dbscout/dbscout.h>

#include <QStringList>
#include <QWidget>

#include <vector>

#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace DbscoutTest {

// A host window that records the panel's item-selected messages and, like a real host, asks
// for the object URL while handling each.
class RecordingHost final : public QWidget
{
public:
    struct Pick
    {
        WPARAM wParam;
        LPARAM lParam;
        bool gotUrl;
        std::string url;
        std::string name;
    };
    CDbscout* panel = nullptr;
    std::vector<Pick> picks;

protected:
    bool event(QEvent* event) override;
};

// An address whose requests the test handler answers with fixture NAME; extra handler
// parameters ("testmode=hang&") go in front of it.
std::string fixtureAddress(const std::string& fixture, const std::string& extra = {});

class PanelHarness
{
public:
    // A host window with a panel in open or save mode; settingsKey "" gives the panel none.
    explicit PanelHarness(bool openMode = true, int dataType = 0,
                          const std::string& settingsKey = "Software\\PanelTest",
                          const char* initial = "");
    ~PanelHarness();

    // Builds another panel in the same store (after destroy()).
    void create(bool openMode = true, int dataType = 0, const char* initial = "");
    void destroy();

    CDbscout* dbscout() const { return m_panel; }
    RecordingHost* host() const { return m_host.get(); }
    QComboBox* sourceBox() const;
    QComboBox* queryBox() const;
    QTreeWidget* list() const;
    QLineEdit* nameBox() const;
    QLabel* status() const;
    QWidget* control(int id) const;
    ScriptedModal& modal() { return *m_modal; }
    TestEnv& env() { return *m_env; }
    HKEY settingsKey() const { return m_settings; }

    void typeSource(const std::string& address);
    void typeQuery(const std::string& text);
    void command(int id); // as the panel's keys and menus send it
    void pressGo();
    // Waits until no "Downloading..." row is left; false on time-out.
    bool waitForListing(int timeoutMs = 10000);
    // Waits until the subset box holds count entries.
    bool waitForSubsets(int count, int timeoutMs = 10000);

    // The argument lines the test handler received, in order.
    QStringList handlerCalls() const;
    // The listing requests among them (those with start=).
    QStringList listingCalls() const;
    QStringList rowNames() const;

private:
    void installHostIcon();

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedModal> m_modal;
    std::unique_ptr<RecordingHost> m_host;
    std::string m_logPath;
    HKEY m_settings = nullptr;
    CDbscout* m_panel = nullptr;
};

} // namespace DbscoutTest
