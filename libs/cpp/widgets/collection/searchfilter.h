#pragma once

#include <QLineEdit>

class QPushButton;

namespace QMWidgets {

// A search field: while empty it paints the hint "Search:" (when unfocused)
// and a search icon; while it holds text a small clear button shows at its
// right end. Escape clears it.
class SearchFilter : public QLineEdit
{
    Q_OBJECT
public:
    explicit SearchFilter(QWidget *parent = nullptr);

public slots:
    void slotTextChanged(QString text);
    void slotClearClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPushButton *clearButton;
};

} // namespace QMWidgets
