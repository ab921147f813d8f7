#include "noscreenshotwidget.h"

#include "noscreeshotfilter.h"

#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QPointer>

namespace QMWidgets {

namespace {

// Hiding the widget that holds the focus moves the focus, and the focus change
// would otherwise show everything again while the hiding is still under way.
int g_changingVisibility = 0;

// Marks a widget that the cover hid, so that uncovering shows it again.
const char *const kHiddenByCover = "hiddenByCover";

// True for a window (menu, popup, tool tip, dialog) inside the object, or a
// widget within one: such windows open and close on their own.
bool isWindowed(const QWidget *widget, const QObject *object)
{
    for (const QWidget *w = widget; w && w != object; w = w->parentWidget()) {
        if (w->isWindow())
            return true;
    }
    return false;
}

// The widgets a cover guards: its widget descendants outside windows.
QList<QPointer<QWidget>> guardedWidgets(QObject *object)
{
    // Guarded pointers: a widget may be destroyed by what a visibility change sets off.
    QList<QPointer<QWidget>> widgets;
    const QList<QWidget *> found = object->findChildren<QWidget *>();
    for (QWidget *widget : found) {
        if (!isWindowed(widget, object))
            widgets.append(widget);
    }
    return widgets;
}

void hideByCover(QWidget *widget)
{
    widget->setProperty(kHiddenByCover, true);
    widget->hide();
}

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
    const QList<QPointer<QWidget>> widgets = guardedWidgets(object);
    // A cover watches its content while covered, so that what its owner shows
    // meanwhile stays out of sight too.
    auto *cover = qobject_cast<NoScreenShotWidget *>(object);
    if (cover)
        cover->covered = !visible;

    // Hiding notes what it hid, and showing brings back only that: widgets
    // their owner hid stay hidden.
    ++g_changingVisibility;
    for (const QPointer<QWidget> &widget : widgets) {
        if (!widget)
            continue;
        if (!visible) {
            if (cover)
                widget->installEventFilter(cover);
            if (!widget->isHidden())
                hideByCover(widget);
        } else {
            if (cover)
                widget->removeEventFilter(cover);
            if (widget->property(kHiddenByCover).toBool()) {
                widget->setProperty(kHiddenByCover, QVariant());
                widget->show();
            }
        }
    }
    --g_changingVisibility;
}

void NoScreenShotWidget::install()
{
    // Menus and dialogs inside the content keep their keys.
    const QList<QPointer<QWidget>> widgets = guardedWidgets(this);
    for (QWidget *widget : widgets)
        widget->installEventFilter(new NoScreeShotFilter(this));
}

void NoScreenShotWidget::slotFocusChanged(QWidget *, QWidget *)
{
    if (g_changingVisibility > 0)
        return;
    setChildrenVisible(this, QApplication::activeWindow() != nullptr);
}

bool NoScreenShotWidget::eventFilter(QObject *watched, QEvent *event)
{
    // While covered, a guarded widget that its owner shows is hidden again at
    // once, and comes back with the rest.
    if (covered && event->type() == QEvent::ShowToParent && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (isAncestorOf(widget) && !isWindowed(widget, this)) {
            ++g_changingVisibility;
            hideByCover(widget);
            --g_changingVisibility;
        }
    }
    return QLabel::eventFilter(watched, event);
}

bool NoScreenShotWidget::event(QEvent *event)
{
    // Content added while covered is watched like the rest.
    if (covered && event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    // Activation of the label's window brings the content back even when no
    // guarded widget can take the focus (then no focus change follows).
    if (event->type() == QEvent::WindowActivate && g_changingVisibility == 0)
        setChildrenVisible(this, true);
    return QLabel::event(event);
}

} // namespace QMWidgets
