#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

#include <QWidget>

// Answers the next modal dialog from a timer. The answer runs once a modal
// widget (or any visible top-level of the wanted class) shows up. If no answer
// happened within the fail-safe time, every modal widget is closed so the test
// fails instead of hanging; answered() then stays false. If the answered
// dialog is still open at that time, its answer did not work: the dialog is
// closed and the running test fails.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *dialog)>;

    explicit ModalAnswerer(Answer answer, int failSafeMs = 5000, QObject *parent = nullptr);
    ~ModalAnswerer() override;

    // Only widgets that inherit this class name are answered (empty: any modal widget).
    void setClassName(const char *className) { m_className = className; }

    bool answered() const { return m_answered; }
    bool timedOut() const { return m_timedOut; }
    // The dialog that was answered (null once it is gone).
    QWidget *dialog() const { return m_dialog; }

    // Helpers for answers.
    static void clickButtonWithText(QWidget *dialog, const QString &text);
    static void pressKey(QWidget *dialog, int key);
    // The texts of all labels in the dialog, run together (what it says).
    static QString labelTexts(QWidget *dialog);
    // An answer for a file dialog: notes the folder it starts in (when asked),
    // types the file name and accepts.
    static Answer acceptFileDialog(const QString &fileName, QString *startFolder = nullptr);

private slots:
    void poll();
    void failSafe();

private:
    QWidget *findTarget() const;
    static void closeWidget(QWidget *widget);

    Answer m_answer;
    QTimer m_poll;
    QTimer m_failSafe;
    const char *m_className = nullptr;
    QPointer<QWidget> m_dialog;
    bool m_answered = false;
    bool m_timedOut = false;
};
