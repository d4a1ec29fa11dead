#pragma once

#include "device/ReadySignal.h"

#include <functional>

class QObject;

// Calls onReady from the event loop each time the signal is ready: a socket notifier on the
// descriptor (POSIX), an event notifier on the event object (Windows). The notifier is owner's
// child, and is returned.
QObject *NotifyWhenReady(ReadySignal signal, QObject *owner, std::function<void()> onReady);
