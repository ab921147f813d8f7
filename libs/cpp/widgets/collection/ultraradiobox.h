#pragma once

#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QPushButton;
class QVBoxLayout;

namespace QMWidgets {

class UltraRadioBoxPopup;

// A compact chooser. Its face is a picture of the current choice with a small
// down-arrow; a press toggles a translucent popup that lists the other
// choices, each as its own button beside a flat text button.
class UltraRadioBox : public QWidget
{
    Q_OBJECT
public:
    explicit UltraRadioBox(QWidget *parent = nullptr);
    ~UltraRadioBox() override;

    // Adds a choice; the popup adopts the button and a text button for it.
    void addButton(QAbstractButton *button, const QString &text);
    // Makes an added button the current choice; other buttons are ignored.
    void select(QAbstractButton *button);
    // Shows or hides an added choice together with its text button.
    void setButtonVisible(QAbstractButton *button, bool visible);
    void hidePopup();
    void setPopupOpacity(const float &opacity);
    // The current choice; null before the first select or once it is destroyed.
    QAbstractButton *currentButton() const { return current; }

signals:
    void buttonClicked();
    void actionPerformed();

public slots:
    void slotButtonClicked();
    void slotFocusChanged(QWidget *old, QWidget *now);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *popupLayout;
    UltraRadioBoxPopup *popup;
    QPixmap shownPixmap;
    QMap<QAbstractButton *, QPushButton *> textButtons;
    QPointer<QAbstractButton> current;
    QPixmap normalPixmap;
    QPixmap hoverPixmap;
};

} // namespace QMWidgets
