#pragma once

#include <QBoxLayout>
#include <QWidget>

class QAbstractButton;

namespace QMWidgets {

// A row or column of checkable buttons of which exactly the last clicked one
// is checked. The buttons are not listed: they are found as child objects.
class RadioBox : public QWidget
{
    Q_OBJECT
public:
    explicit RadioBox(QBoxLayout::Direction direction, QWidget *parent = nullptr);

    // Makes the button checkable and appends it; the box's layout adopts it.
    void addButton(QAbstractButton *button);

public slots:
    void slotButtonClicked();

private:
    QBoxLayout *layout;
};

} // namespace QMWidgets
