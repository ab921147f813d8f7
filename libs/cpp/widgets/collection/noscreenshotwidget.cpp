#include "noscreenshotwidget.h"

#include "noscreeshotfilter.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace QMWidgets {

namespace {

// Hiding the widget that holds the focus moves the focus, and the focus change
// would otherwise show everything again while the hiding is still under way.
int g_changingVisibility = 0;

} // namespace

NoScreenShotWidget::NoScreenShotWidget(QWidget *parent)
    : QLabel(parent)
{
    setupWidget(QString());
}

NoScreenShotWidget::NoScreenShotWidget(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    setupWidget(text);
}

NoScreenShotWidget::~NoScreenShotWidget() = default;

void NoScreenShotWidget::setupWidget(const QString &text)
{
    connect(qApp, SIGNAL(focusChanged(QWidget*,QWidget*)), this,
            SLOT(slotFocusChanged(QWidget*,QWidget*)), Qt::UniqueConnection);
    if (!text.isEmpty())
        setText(text);
    else
        setText(QStringLiteral("<H1><CENTER>") + tr("No!") + QStringLiteral("</CENTER></H1>"));
}

void NoScreenShotWidget::setChildrenVisible(QObject *object, bool visible)
{
    if (!object)
        return;
    // Guarded pointers: a widget may be destroyed by what a visibility change sets off.
    QList<QPointer<QWidget>> widgets;
    const QList<QWidget *> found = object->findChildren<QWidget *>();
    for (QWidget *widget : found)
        widgets.append(widget);

    ++g_changingVisibility;
    for (const QPointer<QWidget> &widget : qAsConst(widgets)) {
        if (widget)
            widget->setVisible(visible);
    }
    --g_changingVisibility;
}

void NoScreenShotWidget::install()
{
    const QList<QWidget *> widgets = findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        widget->installEventFilter(new NoScreeShotFilter(this));
}

void NoScreenShotWidget::slotFocusChanged(QWidget *, QWidget *)
{
    if (g_changingVisibility > 0)
        return;
    setChildrenVisible(this, QApplication::activeWindow() != nullptr);
}

bool NoScreenShotWidget::event(QEvent *event)
{
    // Activation of the label's window brings the content back even when no
    // guarded widget can take the focus (then no focus change follows).
    if (event->type() == QEvent::WindowActivate && g_changingVisibility == 0)
        setChildrenVisible(this, true);
    return QLabel::event(event);
}

} // namespace QMWidgets
