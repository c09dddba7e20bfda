// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into the tests of the thread-sanitizer build only. A queued call or posted event reaches
// the receiving thread through a lock inside Qt, which is built without the sanitizer, so it cannot
// see that what the sender wrote before posting comes before what the receiver reads while
// handling it, and now and then reports that as a race. Here posting releases, and delivering an
// event acquires, one marker it does see, as Qt's own lock orders them. Only the entry points our
// code calls directly can be wrapped: queued functors, signals and posted events.

#include <QCoreApplication>
#include <QMetaObject>

#include <dlfcn.h>
#include <sanitizer/tsan_interface.h>

namespace {

char posted;

template <typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

bool acquirePosted(void **)
{
    __tsan_acquire(&posted);
    return false; // the event is delivered as usual
}

[[maybe_unused]] const bool deliveryWatched
    = QInternal::registerCallback(QInternal::EventNotifyCallback, acquirePosted);

} // namespace

bool QMetaObject::invokeMethodImpl(
    QObject *object, QtPrivate::QSlotObjectBase *slot, Qt::ConnectionType type, void *ret)
{
    static const auto real = next<bool (*)(QObject *, QtPrivate::QSlotObjectBase *, Qt::ConnectionType, void *)>(
        "_ZN11QMetaObject16invokeMethodImplEP7QObjectPN9QtPrivate15QSlotObjectBaseEN2Qt14ConnectionTypeEPv");
    __tsan_release(&posted);
    return real(object, slot, type, ret);
}

void QMetaObject::activate(QObject *sender, const QMetaObject *metaObject, int localSignalIndex, void **argv)
{
    static const auto real
        = next<void (*)(QObject *, const QMetaObject *, int, void **)>("_ZN11QMetaObject8activateEP7QObjectPKS_iPPv");
    __tsan_release(&posted);
    real(sender, metaObject, localSignalIndex, argv);
}

void QCoreApplication::postEvent(QObject *receiver, QEvent *event, int priority)
{
    static const auto real
        = next<void (*)(QObject *, QEvent *, int)>("_ZN16QCoreApplication9postEventEP7QObjectP6QEventi");
    __tsan_release(&posted);
    real(receiver, event, priority);
}
