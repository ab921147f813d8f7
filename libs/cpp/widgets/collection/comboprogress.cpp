#include "comboprogress.h"

#include "defaultlook.h"
#include "stylehelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace QMWidgets {

ComboProgress::ComboProgress(QWidget *parent)
    : QWidget(parent)
{
    progressBar = new QProgressBar;
    stopButton = new QPushButton;
    messageLabel = new QLabel;

    setNameAndToolTip(stopButton, QStringLiteral("ComboProgressStop"), tr("Stop"));
    stopButton->setFixedSize(20, 20);
    stopButton->setFlat(true);
    giveDefaultLook(stopButton, collectionIcon(QStringLiteral("stop")), tr("Stop"));
    connect(stopButton, SIGNAL(clicked()), this, SLOT(slotStopPressed()));

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(progressBar);
    layout->addWidget(stopButton);
    layout->addWidget(messageLabel);
    setLayout(layout);

    showLabel(true);
}

int ComboProgress::value() const
{
    return progressBar->value();
}

void ComboProgress::showLabel(bool on)
{
    messageLabel->setVisible(on);
    progressBar->setVisible(!on);
    stopButton->setVisible(!on);
}

void ComboProgress::slotSetProgress(int value)
{
    if (value >= 100) {
        showLabel(true);
        return;
    }
    if (!messageLabel->isHidden())
        showLabel(false);
    stopPressed = false;
    progressBar->setValue(value);
}

void ComboProgress::slotStopPressed()
{
    stopPressed = true;
    if (messageLabel->isHidden())
        showLabel(true);
}

} // namespace QMWidgets
