#pragma once

#include <QObject>

namespace QMWidgets {

// A plain QObject that stands beside the file dialog for platform dialog
// proxies; it adds nothing of its own.
class NativeProxyObject : public QObject
{
    Q_OBJECT

public:
    explicit NativeProxyObject(QObject *parent = nullptr);
};

} // namespace QMWidgets
