#pragma once
// Registered window messages on Qt: a process-wide table from message name to QEvent::Type.
// Send delivers a MessageEvent synchronously and returns its result; post queues it and may be
// called from any thread. A receiver recognises a message by comparing event->type() with the
// registered value.

#include <dbscout/export.h>

#include <QEvent>

#include <cstdint>

class QObject;

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using BOOL = int;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

namespace Dbscout {

class DBSCOUT_EXPORT MessageEvent final : public QEvent
{
public:
    MessageEvent(UINT message, WPARAM wParam, LPARAM lParam);
    ~MessageEvent() override;

    UINT message() const { return UINT(type()); }
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0; // set by the receiver of a sent message
};

} // namespace Dbscout

// Returns the same value for the same name within a process (names compare exactly);
// 0 when the name is null or empty, or when no event type is left.
DBSCOUT_EXPORT UINT RegisterWindowMessageA(const char* name);
// Delivers the message now, on the calling thread, which must be the receiver's thread.
// Returns the receiver's result, or 0 when there is no receiver.
DBSCOUT_EXPORT LRESULT SendMessageA(QObject* receiver, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the receiver's thread; callable from any thread. Returns 0 when there
// is no receiver or the message was never registered, else 1.
DBSCOUT_EXPORT BOOL PostMessageA(QObject* receiver, UINT message, WPARAM wParam, LPARAM lParam);
