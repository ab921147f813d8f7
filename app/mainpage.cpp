#include "mainpage.h"

#include "appsettingsdialog.h"
#include "creator.h"
#include "promomenubar.h"
#include "representor.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

MainPage::MainPage(QWidget *parent)
    : QMWidgets::PromoMainPage(parent, false)
{
    setObjectName(QStringLiteral("MainPage"));

    m_creator = new Creator;
    m_representor = new Representor;

    connect(m_creator, SIGNAL(pixmapChanged(const QPixmap&)),
            m_representor, SLOT(slotSetPixmap(const QPixmap&)));
    connect(m_creator, SIGNAL(formatChanged(const QString&)),
            m_representor, SLOT(slotSetFormat(const QString&)));
    connect(m_creator, SIGNAL(realPreview()), m_representor, SLOT(slotRealPreview()));
    connect(m_creator, SIGNAL(textsComing()), m_representor, SLOT(slotHoldTexts()));
    connect(m_creator, SIGNAL(textsSettled()), m_representor, SLOT(slotReleaseTexts()));

    menuBar()->hideMoreAppsButton();

    m_settingsButton = new QPushButton;
    m_settingsButton->setFlat(true);
    m_settingsButton->setObjectName(QStringLiteral("SettingsButton"));
    m_settingsButton->setFixedSize(32, 32);
    menuBar()->addWidget(m_settingsButton);
    connect(m_settingsButton, SIGNAL(clicked()), this, SLOT(slotShowSettings()));
    m_settingsButton->hide();

    auto *columns = new QHBoxLayout;
    columns->addWidget(m_creator);
    columns->addWidget(m_representor);

    auto *page = new QVBoxLayout;
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(5);
    page->addWidget(menuBar());
    page->addLayout(columns);
    setLayout(page);
}

void MainPage::slotShowSettings()
{
    // On the heap and guarded: the button (its parent) may go while the dialog runs.
    QPointer<AppSettingsDialog> dialog = new AppSettingsDialog(m_settingsButton);
    dialog->exec();
    delete dialog.data();
}

void MainPage::resizeEvent(QResizeEvent *)
{
}
