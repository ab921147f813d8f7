#pragma once

#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QPolygonF>

namespace QMWidgets {

// An event filter that paints the combo boxes it watches flat: a framed box,
// the current text centred and a small triangle in the lower right corner. It
// swallows every paint event of the watched object, so on a widget that is no
// combo box nothing is drawn at all.
class ComboBoxFilter : public QObject
{
    Q_OBJECT

public:
    explicit ComboBoxFilter(QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The last combo box painted; null before the first, or once it is destroyed.
    QComboBox *combo() const { return m_combo; }

    // The arrow's corners for a combo box of the given size, in painter
    // coordinates after the arrow's offset.
    static QPolygonF arrow(int width, int height);

private:
    QPointer<QComboBox> m_combo;
};

} // namespace QMWidgets
