#include "app/ModuleNotifier.h"

#include <QWinEventNotifier>

#include <windows.h>

QObject *NotifyWhenReady(ReadySignal signal, QObject *owner, std::function<void()> onReady)
{
    auto *notifier = new QWinEventNotifier(reinterpret_cast<HANDLE>(signal.handle), owner);
    QObject::connect(notifier, &QWinEventNotifier::activated, owner, std::move(onReady));
    return notifier;
}
