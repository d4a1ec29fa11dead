#include "app/ModuleNotifier.h"

#include <QSocketNotifier>

QObject *NotifyWhenReady(ReadySignal signal, QObject *owner, std::function<void()> onReady)
{
    auto *notifier = new QSocketNotifier(static_cast<qintptr>(signal.handle), QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, std::move(onReady));
    return notifier;
}
