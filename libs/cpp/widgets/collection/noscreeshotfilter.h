#pragma once

#include <QObject>

namespace QMWidgets {

// Key filter of NoScreenShotWidget: a key press in a watched widget hides all
// widgets guarded by the filter's parent and never reaches the watched widget.
class NoScreeShotFilter : public QObject
{
    Q_OBJECT

public:
    explicit NoScreeShotFilter(QObject *parent);
    ~NoScreeShotFilter() override;

    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace QMWidgets
