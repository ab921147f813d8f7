#pragma once

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace QMWidgets {

// The floating editor of a text note: a text field over a row of Accept,
// Cancel, Increase and Decrease buttons. The owner places it, shows it with
// showAll(), and reads textEdit() when okClicked() arrives. Constructing one
// makes the application's work folder the last-save folder.
class NoteEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit NoteEditWidget(QWidget *parent = nullptr);

    // Hides the editor, its text field and the Accept and Cancel buttons.
    void hideAll();
    // Shows them again and focuses the text field.
    void showAll();
    // The text field; owned by the editor.
    QTextEdit *textEdit() const;
    qreal fontPointSize() const;

    // Point-size step of Increase and Decrease.
    static const int FontStep = 5;

signals:
    void cancelClicked();
    void okClicked();

public slots:
    void slotIncrease();
    void slotDecrease();

private:
    void changeFontSize(int delta);

    QTextEdit *m_textEdit;
    QPushButton *acceptButton;
    QPushButton *rejectButton;
};

} // namespace QMWidgets
