#include "panel_harness.h"

#include "panel/scout_panel.h"
#include "support/handler_registration.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

namespace DbscoutTest {

bool RecordingHost::event(QEvent* event)
{
    if (event->type() != QEvent::Type(UM_DBSCOUT_ITEM_SELECTED))
        return QWidget::event(event);
    auto* message = static_cast<Dbscout::MessageEvent*>(event);
    Pick pick{message->wParam, message->lParam, false, {}, {}};
    int flag = 0;
    pick.gotUrl = panel && panel->GetURL(pick.url, flag, pick.name);
    picks.push_back(pick);
    return true;
}

std::string fixtureAddress(const std::string& fixture, const std::string& extra)
{
    return "molb://test/" + extra + "fixture=" + fixture + "&/db";
}

PanelHarness::PanelHarness(bool openMode, int dataType, const std::string& settingsKey,
                           const char* initial)
    : m_env(std::make_unique<TestEnv>()), m_modal(std::make_unique<ScriptedModal>())
{
    m_logPath = m_env->file("handler.log");
    qputenv("DBSCOUT_TEST_HANDLER_LOG", QByteArray::fromStdString(m_logPath));
    registerTestHandler("molb", "dir");
    registerTestHandler("ncbi", "dir");
    installHostIcon();
    if (!settingsKey.empty())
        RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &m_settings, nullptr);
    create(openMode, dataType, initial);
}

PanelHarness::~PanelHarness()
{
    destroy();
    if (m_settings)
        RegCloseKey(m_settings);
    qunsetenv("DBSCOUT_TEST_HANDLER_LOG");
}

void PanelHarness::installHostIcon()
{
    // The host suite's icon for its data sources; the panel lists sources only with one.
    const std::string path = m_env->file("host-icon.png");
    QPixmap icon(16, 16);
    icon.fill(Qt::darkCyan);
    icon.save(QString::fromStdString(path));
    Dbscout::RegKey key;
    key.create(HKEY_CURRENT_USER, "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\DefaultIcon");
    const std::string value = path + ",0";
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

void PanelHarness::create(bool openMode, int dataType, const char* initial)
{
    m_host = std::make_unique<RecordingHost>();
    m_host->resize(900, 600);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    InitScoutpaneDLL();
    m_panel = CreateScoutpane(initial, m_settings, openMode ? 1 : 0, dataType, 0, 0);
    m_host->panel = m_panel;
    m_panel->Create(m_host.get(), QRect(0, 0, 900, 600), 1, WS_CHILD | WS_VISIBLE);
    // The panel is built from the first size the window gets once it shows.
    if (!QTest::qWaitFor([this] { return control(6996) != nullptr; }, 5000))
        qWarning("the panel was not built within 5 seconds of its first size");
}

void PanelHarness::destroy()
{
    // The host deletes its window, which destroys the panel's window and saves its settings.
    m_host.reset();
    m_panel = nullptr;
}

QWidget* PanelHarness::control(int id) const
{
    return m_panel->findChild<QWidget*>(QString::number(id));
}

QComboBox* PanelHarness::sourceBox() const { return qobject_cast<QComboBox*>(control(6913)); }
QComboBox* PanelHarness::queryBox() const { return qobject_cast<QComboBox*>(control(6914)); }
QTreeWidget* PanelHarness::list() const { return qobject_cast<QTreeWidget*>(control(6996)); }
QLineEdit* PanelHarness::nameBox() const { return qobject_cast<QLineEdit*>(control(6999)); }
QLabel* PanelHarness::status() const { return qobject_cast<QLabel*>(control(6909)); }

void PanelHarness::typeSource(const std::string& address)
{
    QLineEdit* edit = sourceBox()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(address));
}

void PanelHarness::typeQuery(const std::string& text)
{
    QLineEdit* edit = queryBox()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    if (text.empty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, QString::fromStdString(text));
}

void PanelHarness::command(int id)
{
    m_panel->panel()->OnCommand(id);
}

void PanelHarness::pressGo()
{
    QTest::mouseClick(control(6901), Qt::LeftButton);
}

bool PanelHarness::waitForListing(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QTest::qWait(10);
        QTreeWidget* view = list();
        const bool downloading = view->topLevelItemCount() == 1 &&
                                 view->topLevelItem(0)->text(0) == "Downloading...";
        if (!downloading)
            return true;
        if (timer.elapsed() > timeoutMs)
            return false;
    }
}

bool PanelHarness::waitForSubsets(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return queryBox()->count() == count; }, timeoutMs);
}

QStringList PanelHarness::handlerCalls() const
{
    QFile log(QString::fromStdString(m_logPath));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList PanelHarness::listingCalls() const
{
    QStringList calls;
    for (const QString& call : handlerCalls())
        if (call.contains("start="))
            calls << call;
    return calls;
}

QStringList PanelHarness::rowNames() const
{
    QStringList names;
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        names << list()->topLevelItem(i)->text(0);
    return names;
}

} // namespace DbscoutTest
