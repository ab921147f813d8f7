#include "noscreeshotfilter.h"

#include "noscreenshotwidget.h"

#include <QEvent>

namespace QMWidgets {

NoScreeShotFilter::NoScreeShotFilter(QObject *parent)
    : QObject(parent)
{
}

NoScreeShotFilter::~NoScreeShotFilter() = default;

bool NoScreeShotFilter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (parent())
            NoScreenShotWidget::setChildrenVisible(parent(), false);
        return true;
    }
    return false;
}

} // namespace QMWidgets
