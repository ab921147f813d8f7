#include "nativeproxyobject.h"

namespace QMWidgets {

NativeProxyObject::NativeProxyObject(QObject *parent)
    : QObject(parent)
{
}

} // namespace QMWidgets
