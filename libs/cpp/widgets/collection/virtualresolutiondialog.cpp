#include "virtualresolutiondialog.h"

#include "resolutionsetupwidget.h"
#include "stylehelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

VirtualResolutionDialog::VirtualResolutionDialog(QWidget *parent)
    : QDialog(parent)
    , m_modeCombo(new QComboBox)
    , m_virtualSetup(new ResolutionSetupWidget)
    , m_windowSetup(new ResolutionSetupWidget)
{
    m_modeCombo->addItem(tr("Virtual Resolution Mode"));
    m_modeCombo->addItem(tr("Normal Model"));
    connect(m_modeCombo, SIGNAL(activated(int)), this, SLOT(slotModeChanged(int)));

    auto *openGlBox = new QCheckBox;
    openGlBox->setChecked(false);
    openGlBox->setEnabled(false);

    auto *logo = new QLabel;
    const QPixmap logoPixmap(QStringLiteral(":/pix/vrlogo.png"));
    logo->setPixmap(logoPixmap);
    logo->setFixedSize(logoPixmap.size());

    m_virtualSetup->setTitle(tr("Virtual Resolution"));
    static const int presets[][2] = {
        {1024, 768},  {1152, 864},  {1280, 800},  {1280, 1024}, {1440, 900},
        {1600, 1200}, {1680, 1050}, {1920, 1200}, {1980, 1250}, {2048, 1536},
        {2650, 1600}, {3840, 2400}, {4096, 3072}, {5300, 3200}};
    for (const auto &preset : presets)
        m_virtualSetup->addPreset(preset[0], preset[1]);
    connect(m_virtualSetup, SIGNAL(resolutionChanged(QSize)), this, SIGNAL(virtualResolutionChanged(QSize)));

    m_windowSetup->setTitle(tr("Window Size"));
    m_windowSetup->hide();

    auto *okButton = new QPushButton(tr("&Ok"));
    auto *cancelButton = new QPushButton(tr("&Cancel"));
    auto *applyButton = new QPushButton(tr("&Apply"));
    stylePushButton(okButton);
    stylePushButton(cancelButton);
    stylePushButton(applyButton);
    connect(okButton, SIGNAL(clicked()), this, SLOT(accept()));
    connect(cancelButton, SIGNAL(clicked()), this, SLOT(reject()));
    connect(applyButton, SIGNAL(clicked()), this, SLOT(slotApply()));

    auto *openGlRow = new QHBoxLayout;
    openGlRow->setContentsMargins(5, 5, 5, 5);
    openGlRow->setSpacing(1);
    openGlRow->addWidget(new QLabel(tr("OpenGL Acceleration")));
    openGlRow->addWidget(openGlBox);
    openGlRow->addStretch(1);

    auto *setupRow = new QHBoxLayout;
    setupRow->setContentsMargins(5, 5, 5, 5);
    setupRow->setSpacing(5);
    setupRow->addWidget(m_virtualSetup);
    setupRow->addWidget(m_windowSetup);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(5, 5, 5, 5);
    buttonRow->setSpacing(3);
    buttonRow->addStretch(1);
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);
    buttonRow->addWidget(applyButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(3);
    layout->addWidget(logo);
    layout->addLayout(openGlRow);
    layout->addWidget(m_modeCombo);
    layout->addLayout(setupRow);
    layout->addLayout(buttonRow);
}

QSize VirtualResolutionDialog::size() const
{
    return m_virtualSetup->size();
}

VirtualResolutionDialog::Mode VirtualResolutionDialog::mode() const
{
    return m_modeCombo->currentIndex() == 0 ? VirtualResolutionMode : NormalMode;
}

void VirtualResolutionDialog::slotApply()
{
    emit changeVirtualResolution(size());
    emit changeSettings();
}

void VirtualResolutionDialog::slotModeChanged(int)
{
    m_virtualSetup->setEnabled(m_modeCombo->currentIndex() == 0);
}

} // namespace QMWidgets
