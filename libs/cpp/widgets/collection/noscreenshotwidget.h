#pragma once

#include <QLabel>

namespace QMWidgets {

// A label that guards the widgets placed inside it: while the application has
// no active window they are all hidden and only the label's own text (a cover
// message) shows; when a window of the application is active again they are
// shown again. install() adds a key filter that covers the content at the
// first key press in any guarded widget and swallows that key.
class NoScreenShotWidget : public QLabel
{
    Q_OBJECT

public:
    explicit NoScreenShotWidget(QWidget *parent = nullptr);
    explicit NoScreenShotWidget(const QString &text, QWidget *parent = nullptr);
    ~NoScreenShotWidget() override;

    // Watches the application's focus changes and sets the cover text: the
    // given text unchanged, or a centred "No!" heading when it is empty.
    void setupWidget(const QString &text);

    // Hides every widget descendant of the object, at any depth, or shows
    // again those that an earlier call hid. Windows inside the object (menus,
    // popups, tool tips) and their content are left alone. While a label's
    // content is hidden this way, a guarded widget that its owner shows is
    // hidden too and shown again with the rest.
    static void setChildrenVisible(QObject *object, bool visible);

    // Puts one key filter on every widget inside the label as it is now,
    // leaving out windows (menus, dialogs) and their content.
    void install();

    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void slotFocusChanged(QWidget *, QWidget *);

protected:
    bool event(QEvent *event) override;

private:
    bool covered = false;
};

} // namespace QMWidgets
