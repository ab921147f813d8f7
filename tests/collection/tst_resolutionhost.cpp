#include "app.h"
#include "hybridwidget.h"
#include "resolutionsetupwidget.h"
#include "testmain.h"
#include "virtualresolutiondialog.h"
#include "virtualresolutionwidget.h"

#include <QComboBox>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>

using namespace QMWidgets;

class TestResolutionHost : public QObject
{
    Q_OBJECT

private slots:
    void viewScalesVirtualSizeToWindow_data();
    void viewScalesVirtualSizeToWindow();
    void enteringWithoutDialogUses1280x800();
    void leavingRestoresSizeAtFiftyFifty();
    void sizeIsIgnoredInNormalMode();
    void hostDestroyedInVirtualModeIsSafe();
    void setupShowsFirstPresetAndSliderPicksRow();
    void dialogOkAndCancelApplyNothing_data();
    void dialogOkAndCancelApplyNothing();
    void dialogApplyChangesHostSizeAndMode();
};

static QPushButton *buttonWithText(QWidget *parent, const QString &text)
{
    for (QPushButton *button : parent->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

static QSlider *virtualSlider(VirtualResolutionDialog *dialog)
{
    for (auto *setup : dialog->findChildren<ResolutionSetupWidget *>())
        if (setup->title() == QLatin1String("Virtual Resolution"))
            return setup->findChild<QSlider *>();
    return nullptr;
}

void TestResolutionHost::viewScalesVirtualSizeToWindow_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");

    QTest::newRow("half") << QSize(640, 400) << 0.5 << 0.5;
    QTest::newRow("same") << QSize(1280, 800) << 1.0 << 1.0;
    QTest::newRow("stretched") << QSize(1280, 400) << 1.0 << 0.5;
    QTest::newRow("after collapsing") << QSize(0, 0) << 0.5 << 0.5;
}

void TestResolutionHost::viewScalesVirtualSizeToWindow()
{
    QFETCH(QSize, window);
    QFETCH(double, sx);
    QFETCH(double, sy);

    // arrange
    auto *content = new QWidget; // owned by the view's scene
    VirtualResolutionWidget view;
    view.setWidget(content);
    view.slotSetSize(QSize(1280, 800));
    view.show();

    // act: an empty window first collapses the view, then it grows to half size
    if (window.isEmpty()) {
        view.resize(1, 1);
        QApplication::processEvents();
        window = QSize(640, 400);
    }
    view.resize(window);
    QApplication::processEvents();

    // assert: the fit keeps a few pixels of margin, so compare loosely
    QCOMPARE(content->size(), QSize(1280, 800));
    const QTransform t = view.view()->transform();
    QVERIFY2(qAbs(t.m11() - sx) < 0.02, qPrintable(QString::number(t.m11())));
    QVERIFY2(qAbs(t.m22() - sy) < 0.02, qPrintable(QString::number(t.m22())));
}

void TestResolutionHost::enteringWithoutDialogUses1280x800()
{
    // arrange
    HybridWidget host;
    host.resize(500, 300);
    host.show();

    // act
    host.slotSetVirtualResolutionMode(true);

    // assert
    QVERIFY(host.isVirtualResolutionMode());
    QVERIFY(host.viewWindow()->isVisible());
    QCOMPARE(host.viewWindow()->virtualSize(), QSize(1280, 800));
    QCOMPARE(host.size(), QSize(1280, 800));
    QVERIFY(host.parentWidget() != nullptr);
    host.slotSetVirtualResolutionMode(false);
}

void TestResolutionHost::leavingRestoresSizeAtFiftyFifty()
{
    HybridWidget host;
    host.resize(500, 300);
    host.show();
    host.slotSetVirtualResolutionMode(true);

    host.slotSetVirtualResolutionMode(false);

    QVERIFY(!host.isVirtualResolutionMode());
    QVERIFY(host.isWindow());
    QCOMPARE(host.size(), QSize(500, 300));
    QCOMPARE(host.pos(), QPoint(50, 50));
    QVERIFY(!host.viewWindow()->isVisible());
}

void TestResolutionHost::sizeIsIgnoredInNormalMode()
{
    HybridWidget host;
    host.resize(500, 300);

    host.slotSetSize(QSize(1024, 768));
    host.slotSetMode(VirtualResolutionDialog::NormalMode);

    QVERIFY(!host.isVirtualResolutionMode());
    QCOMPARE(host.size(), QSize(500, 300));
    QVERIFY(!host.viewWindow()->virtualSize().isValid());
}

void TestResolutionHost::hostDestroyedInVirtualModeIsSafe()
{
    auto *host = new HybridWidget;
    auto *content = new QLabel(QStringLiteral("content"));
    host->addWidget(content);
    host->show();
    host->slotSetVirtualResolutionMode(true);
    QPointer<QLabel> watched(content);

    delete host;

    QVERIFY(watched.isNull());
}

void TestResolutionHost::setupShowsFirstPresetAndSliderPicksRow()
{
    // arrange
    ResolutionSetupWidget setup;
    setup.addPreset(1024, 768);
    setup.addPreset(1980, 1250);
    QSignalSpy changed(&setup, SIGNAL(resolutionChanged(QSize)));
    QCOMPARE(setup.size(), QSize(1024, 768));

    // act
    setup.findChild<QSlider *>()->setValue(1);
    setup.slotValueChanged(7); // no such row

    // assert
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toSize(), QSize(1980, 1250));
    QCOMPARE(setup.size(), QSize(1980, 1250));
}

void TestResolutionHost::dialogOkAndCancelApplyNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("ok") << QStringLiteral("&Ok") << int(QDialog::Accepted);
    QTest::newRow("cancel") << QStringLiteral("&Cancel") << int(QDialog::Rejected);
}

void TestResolutionHost::dialogOkAndCancelApplyNothing()
{
    QFETCH(QString, button);
    QFETCH(int, result);

    // arrange: host in virtual mode at the default size, dialog open
    HybridWidget host;
    host.resize(400, 300);
    host.show();
    host.slotSetVirtualResolutionMode(true);
    host.slotShowSettingsDialog();
    VirtualResolutionDialog *dialog = host.settingsDialog();
    QVERIFY(dialog && dialog->isVisible());
    QSignalSpy moved(dialog, SIGNAL(virtualResolutionChanged(QSize)));

    // act: pick 1980 x 1250, then close
    virtualSlider(dialog)->setValue(8);
    buttonWithText(dialog, button)->click();

    // assert
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toSize(), QSize(1980, 1250));
    QCOMPARE(dialog->result(), result);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(host.viewWindow()->virtualSize(), QSize(1280, 800));
    QCOMPARE(host.size(), QSize(1280, 800));
    host.slotSetVirtualResolutionMode(false);
}

void TestResolutionHost::dialogApplyChangesHostSizeAndMode()
{
    // arrange
    HybridWidget host;
    host.resize(400, 300);
    host.show();
    host.slotShowSettingsDialog();
    VirtualResolutionDialog *dialog = host.settingsDialog();
    QPushButton *apply = buttonWithText(dialog, QStringLiteral("&Apply"));
    auto *combo = dialog->findChild<QComboBox *>();

    // act / assert: apply in the first mode enters virtual mode at the slider's size
    virtualSlider(dialog)->setValue(10);
    apply->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(host.isVirtualResolutionMode());
    QCOMPARE(host.viewWindow()->virtualSize(), QSize(2650, 1600));
    QCOMPARE(host.size(), QSize(2650, 1600));

    // "Normal Model" disables the size and leaves virtual mode on apply
    combo->setCurrentIndex(1);
    dialog->slotModeChanged(1);
    QVERIFY(!virtualSlider(dialog)->parentWidget()->isEnabled());
    QCOMPARE(dialog->mode(), VirtualResolutionDialog::NormalMode);
    apply->click();
    QVERIFY(!host.isVirtualResolutionMode());
    QCOMPARE(host.size(), QSize(400, 300));
}

GLYPH_APP_TEST_MAIN(TestResolutionHost, QMWidgets::App)
#include "tst_resolutionhost.moc"
