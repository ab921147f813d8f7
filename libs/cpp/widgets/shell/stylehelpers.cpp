#include "stylehelpers.h"

#include "app.h"
#include "os.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QtGlobal>

namespace QMWidgets {

namespace {

const int DefaultTransparency = 35;

double opacityFromSetting(const QString &key)
{
    int percentage = DefaultTransparency;
    if (App *app = App::instance()) {
        bool ok = false;
        const int stored = app->value(key, DefaultTransparency).toInt(&ok);
        if (ok)
            percentage = stored;
    }
    return opacityForTransparency(percentage);
}

} // namespace

void setNameAndToolTip(QWidget *widget, const QString &name, const QString &toolTip)
{
    if (!widget)
        return;
    widget->setObjectName(name);
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
}

void stylePushButton(QPushButton *button)
{
    if (!button)
        return;
    button->setObjectName(QStringLiteral("PushButton"));
    button->setFlat(true);
    button->setMinimumHeight(32);
}

QBoxLayout *newButtonRowLayout()
{
    if (App::isSmallScreen())
        return new QVBoxLayout;
    return new QHBoxLayout;
}

void layOutPanelDialog(QDialog *dialog, QWidget *message, QWidget *panel, QPushButton *closeButton)
{
    stylePushButton(closeButton);
    QObject::connect(closeButton, SIGNAL(clicked()), dialog, SLOT(accept()));

    auto *panelRow = new QHBoxLayout;
    panelRow->setSpacing(7);
    panelRow->setContentsMargins(15, 15, 15, 15);
    panelRow->addStretch(1);
    panelRow->addWidget(panel);
    panelRow->addStretch(1);

    QBoxLayout *buttonRow = newButtonRowLayout();
    buttonRow->setContentsMargins(10, 10, 10, 10);
    buttonRow->setSpacing(7);
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    buttonRow->addStretch(1);

    auto *layout = new QVBoxLayout;
    layout->setSpacing(7);
    layout->setContentsMargins(10, 10, 10, 10);
    if (message)
        layout->addWidget(message);
    layout->addLayout(panelRow);
    layout->addLayout(buttonRow);
    dialog->setLayout(layout);
}

void styleIconButton(QPushButton *button)
{
    if (!button)
        return;
    button->setFlat(true);
    button->setFixedSize(32, 32);
}

void setDefaultIcon(QPushButton *button, QStyle::StandardPixmap icon)
{
    if (!button)
        return;
    button->setIcon(button->style()->standardIcon(icon, nullptr, button));
    if (button->accessibleName().isEmpty())
        button->setAccessibleName(button->toolTip());
}

void setLabelledPictureButton(QPushButton *button, const QString &text)
{
    if (!button)
        return;
    button->setText(text);
    button->setToolTip(text);
    button->setAccessibleName(text);
}

double opacityForTransparency(int percentage)
{
    return qBound(0.3, 1.3 - percentage / 100.0, 1.0);
}

void applyDialogTransparency(QWidget *window)
{
    if (!window)
        return;
    window->setWindowOpacity(opacityFromSetting(QStringLiteral("TransparencyParameters/ChartDialogs")));
}

void applyContextMenuTransparency(QWidget *widget)
{
    if (!widget)
        return;
    const double opacity = opacityFromSetting(QStringLiteral("TransparencyParameters/ContextMenus"));
    widget->setWindowOpacity(opacity);
    const auto menus = widget->findChildren<QMenu *>();
    for (QMenu *menu : menus)
        menu->setWindowOpacity(opacity);
}

QPixmap grabDesktop()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QPixmap();
    const QRect geometry = screen->geometry();
    const double s = Os::scaleFactor();
    // Window id 0 is the desktop's root window.
    return screen->grabWindow(0, geometry.x(), geometry.y(), int(geometry.width() * s),
                              int(geometry.height() * s));
}

} // namespace QMWidgets
