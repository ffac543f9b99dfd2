#include <dbscout/messages.h>

#include <QCoreApplication>

#include <map>
#include <mutex>
#include <string>

namespace Dbscout {

MessageEvent::MessageEvent(UINT message, WPARAM w, LPARAM l)
    : QEvent(QEvent::Type(message)), wParam(w), lParam(l)
{
}

MessageEvent::~MessageEvent() = default;

} // namespace Dbscout

namespace {

struct MessageTable
{
    std::mutex mutex;
    std::map<std::string, UINT> byName;
};

MessageTable& table()
{
    static MessageTable t;
    return t;
}

bool isRegistered(UINT message)
{
    MessageTable& t = table();
    std::lock_guard lock(t.mutex);
    for (const auto& [name, value] : t.byName)
        if (value == message)
            return true;
    return false;
}

} // namespace

UINT RegisterWindowMessageA(const char* name)
{
    if (!name || !*name)
        return 0;
    MessageTable& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.byName.find(name);
    if (it != t.byName.end())
        return it->second;
    const int type = QEvent::registerEventType();
    if (type < 0)
        return 0;
    t.byName.emplace(name, UINT(type));
    return UINT(type);
}

LRESULT SendMessageA(QObject* receiver, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!receiver || message == 0)
        return 0;
    Dbscout::MessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &event);
    return event.result;
}

BOOL PostMessageA(QObject* receiver, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!receiver || !isRegistered(message))
        return 0;
    QCoreApplication::postEvent(receiver, new Dbscout::MessageEvent(message, wParam, lParam));
    return 1;
}
