#include "noteeditwidget.h"

#include "app.h"
#include "defaultlook.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QVBoxLayout>

namespace QMWidgets {

NoteEditWidget::NoteEditWidget(QWidget *parent)
    : QWidget(parent)
{
    // Saves of the annotated picture start in the work folder until the user
    // saves elsewhere.
    if (App *app = App::instance())
        app->setLastSaveDirectory(App::workDirectory(true));

    acceptButton = new QPushButton(this);
    rejectButton = new QPushButton(this);
    setObjectName(QStringLiteral("NoteEditWidget"));
    auto *increaseButton = new QPushButton(this);
    auto *decreaseButton = new QPushButton(this);
    for (QPushButton *button : {acceptButton, rejectButton, increaseButton, decreaseButton})
        button->setFlat(true);
    acceptButton->setObjectName(QStringLiteral("NoteEditWidgetAccept"));
    acceptButton->setToolTip(tr("Accept"));
    rejectButton->setObjectName(QStringLiteral("NoteEditWidgetReject"));
    rejectButton->setToolTip(tr("Cancel"));
    increaseButton->setObjectName(QStringLiteral("NoteEditWidgetInc"));
    increaseButton->setToolTip(tr("Increase"));
    decreaseButton->setObjectName(QStringLiteral("NoteEditWidgetDec"));
    decreaseButton->setToolTip(tr("Decrease"));
    giveDefaultLook(acceptButton, collectionIcon(QStringLiteral("accept")), tr("Accept"));
    giveDefaultLook(rejectButton, collectionIcon(QStringLiteral("cancel")), tr("Cancel"));
    giveDefaultLook(increaseButton, collectionIcon(QStringLiteral("increase")), tr("Increase"));
    giveDefaultLook(decreaseButton, collectionIcon(QStringLiteral("decrease")), tr("Decrease"));

    connect(increaseButton, SIGNAL(clicked()), this, SLOT(slotIncrease()));
    connect(decreaseButton, SIGNAL(clicked()), this, SLOT(slotDecrease()));
    connect(rejectButton, SIGNAL(clicked()), this, SIGNAL(cancelClicked()));
    connect(acceptButton, SIGNAL(clicked()), this, SIGNAL(okClicked()));

    m_textEdit = new QTextEdit(this);
    m_textEdit->setAttribute(Qt::WA_TranslucentBackground);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(acceptButton);
    row->addWidget(rejectButton);
    row->addStretch(1);
    row->addWidget(increaseButton);
    row->addWidget(decreaseButton);

    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_textEdit);
    column->addLayout(row);
    setLayout(column);
}

void NoteEditWidget::hideAll()
{
    hide();
    m_textEdit->hide();
    acceptButton->hide();
    rejectButton->hide();
}

void NoteEditWidget::showAll()
{
    show();
    m_textEdit->show();
    acceptButton->show();
    rejectButton->show();
    m_textEdit->setFocus(Qt::OtherFocusReason);
}

QTextEdit *NoteEditWidget::textEdit() const
{
    return m_textEdit;
}

qreal NoteEditWidget::fontPointSize() const
{
    return m_textEdit->fontPointSize();
}

void NoteEditWidget::slotIncrease()
{
    changeFontSize(FontStep);
}

void NoteEditWidget::slotDecrease()
{
    changeFontSize(-FontStep);
}

void NoteEditWidget::changeFontSize(int delta)
{
    // The whole note takes the new size, and so does what is typed next.
    m_textEdit->selectAll();
    const QFont current = m_textEdit->currentFont();
    // A font sized in pixels has no point size (-1): it steps in pixels, so
    // that Increase never makes it smaller.
    if (current.pointSize() <= 0 && current.pixelSize() > 0) {
        QTextCharFormat format;
        format.setProperty(QTextFormat::FontPixelSize, qMax(1, current.pixelSize() + delta));
        m_textEdit->mergeCurrentCharFormat(format);
        return;
    }
    const int next = current.pointSize() + delta;
    // A font cannot be smaller than one point: a step below that keeps the
    // smallest size instead of handing the field a size it rejects.
    m_textEdit->setFontPointSize(qMax(1, next));
}

} // namespace QMWidgets
