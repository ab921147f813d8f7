#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <QWidget>

ModalAnswerer::ModalAnswerer(Answer answer, int failSafeMs, QObject *parent)
    : QObject(parent)
    , m_answer(std::move(answer))
{
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_poll.start();
    m_failSafe.setSingleShot(true);
    connect(&m_failSafe, &QTimer::timeout, this, &ModalAnswerer::failSafe);
    m_failSafe.start(failSafeMs);
}

void ModalAnswerer::failSafe()
{
    m_poll.stop();
    // An answer that closed its dialog is done; one whose dialog is still up
    // (a button that lost its connection, say) must not hang the test.
    const bool stuck = m_answered && m_dialog && m_dialog->isVisible();
    if (m_answered && !stuck)
        return;
    m_timedOut = true;
    if (stuck) {
        QTest::qVerify(false, "answered dialog closed",
                       "the answered dialog is still open: its answer did not close it", __FILE__,
                       __LINE__);
        closeWidget(m_dialog);
    }
    // Close whatever is modal so the nested loop ends and the test can fail.
    for (int i = 0; i < 10; ++i) {
        QWidget *w = QApplication::activeModalWidget();
        if (!w)
            break;
        closeWidget(w);
    }
}

void ModalAnswerer::closeWidget(QWidget *widget)
{
    if (auto *d = qobject_cast<QDialog *>(widget))
        d->reject();
    else
        widget->close();
}

ModalAnswerer::~ModalAnswerer() = default;

QWidget *ModalAnswerer::findTarget() const
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && (!m_className || modal->inherits(m_className)))
        return modal;
    if (m_className) {
        const auto tops = QApplication::topLevelWidgets();
        for (QWidget *w : tops) {
            if (w->isVisible() && w->inherits(m_className))
                return w;
        }
    }
    return nullptr;
}

void ModalAnswerer::poll()
{
    if (m_answered)
        return;
    QWidget *target = findTarget();
    if (!target || !target->isVisible())
        return;
    m_answered = true;
    m_poll.stop();
    m_dialog = target;
    m_answer(target);
}

void ModalAnswerer::clickButtonWithText(QWidget *dialog, const QString &text)
{
    const auto buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *b : buttons) {
        if (b->text() == text) {
            b->click();
            return;
        }
    }
    QWARN(qPrintable(QStringLiteral("no button with text ") + text));
    if (auto *d = qobject_cast<QDialog *>(dialog))
        d->reject();
}

QString ModalAnswerer::labelTexts(QWidget *dialog)
{
    QString texts;
    for (QLabel *label : dialog->findChildren<QLabel *>())
        texts += label->text();
    return texts;
}

void ModalAnswerer::pressKey(QWidget *dialog, int key)
{
    QTest::keyClick(dialog, Qt::Key(key));
}

ModalAnswerer::Answer ModalAnswerer::acceptFileDialog(const QString &fileName, QString *startFolder)
{
    return [fileName, startFolder](QWidget *dialog) {
        auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
        if (!fileDialog) {
            QWARN("the modal widget is not a file dialog");
            dialog->close();
            return;
        }
        if (startFolder)
            *startFolder = fileDialog->directory().absolutePath();
        if (auto *edit = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(fileName);
        QMetaObject::invokeMethod(fileDialog, "accept");
    };
}
