#pragma once

#include <QObject>
#include <QString>

namespace QMWidgets {

// The shell's style hook: a style gives its style sheet through styleSheet().
class CommonStyle : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Empty here; subclasses return their style sheet.
    virtual QString styleSheet();

    // The smaller desktop side in pixels divided by the divisor, truncated
    // toward zero; 0 for a divisor that is not positive.
    static int scaled(float divisor);
};

} // namespace QMWidgets
