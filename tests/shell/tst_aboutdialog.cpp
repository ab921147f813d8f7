#include "aboutdialog.h"
#include "app.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

using QMWidgets::AboutDialog;
using QMWidgets::App;

namespace {

QTextBrowser *legalView(AboutDialog &dialog)
{
    return dialog.findChild<QTextBrowser *>(QStringLiteral("AboutLegalInfo"));
}

QPushButton *buttonWithText(QWidget &dialog, const QString &text)
{
    for (QPushButton *b : dialog.findChildren<QPushButton *>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

// The first link in the document whose target contains the piece.
QString findLink(const QTextDocument *document, const QString &piece)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (href.contains(piece))
                return href;
        }
    }
    return QString();
}

// Whether any part of the document is a link or looks like one.
bool hasLinkFormat(const QTextDocument *document)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() || !format.anchorHref().isEmpty() || format.fontUnderline())
                return true;
        }
    }
    return false;
}

// Where the link with the target starts, as a text position; -1 when absent.
int linkPosition(const QTextDocument *document, const QString &href)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorHref() == href)
                return it.fragment().position();
        }
    }
    return -1;
}

QString licencePath()
{
    return App::instance()->resourcesDirectory() + QStringLiteral("LICENSE.LGPL");
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private:
    QByteArray m_installedLicence;
    bool m_hadLicence = false;

    void restoreLicence()
    {
        QFile::remove(licencePath());
        if (m_hadLicence) {
            QFile file(licencePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(m_installedLicence);
        }
    }

    void writeLicence(const QByteArray &bytes)
    {
        QFile file(licencePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
    }

private slots:
    void initTestCase()
    {
        QFile file(licencePath());
        m_hadLicence = file.open(QIODevice::ReadOnly);
        if (m_hadLicence)
            m_installedLicence = file.readAll();
    }

    void cleanup()
    {
        restoreLicence();
        UrlRecorder::instance()->clear();
    }

    // The licence link of the application's own about text shows the licence
    // file in the view: plain text keeps its lines and its "<...>" addresses,
    // HTML is rendered, and a zero byte ends the text.
    void licenceLinkShowsLicenceFile_data()
    {
        QTest::addColumn<QByteArray>("licence");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("notShown");

        QTest::newRow("plain text")
            << QByteArray("                   GNU LESSER GENERAL PUBLIC LICENSE\n"
                          " Copyright (C) 2007 Free Software Foundation, Inc. <https://fsf.org/>\n"
                          " Everyone is permitted to copy.\n")
            << QStringList{"Inc. <https://fsf.org/>\n Everyone is permitted"} << QStringList();
        QTest::newRow("html") << QByteArray("<html><body><h1>Terms</h1><p>Keep &amp; share</p></body></html>")
                              << QStringList{"Terms", "Keep & share"} << QStringList{"<h1>", "&amp;"};
        QTest::newRow("zero byte ends text") << QByteArray("visible part\0hidden part", 24)
                                             << QStringList{"visible part"} << QStringList{"hidden"};
    }

    void licenceLinkShowsLicenceFile()
    {
        QFETCH(QByteArray, licence);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, notShown);
        // arrange
        writeLicence(licence);
        AboutDialog dialog;
        dialog.showLegalNotices(false);
        QTextBrowser *view = legalView(dialog);
        QVERIFY(view);
        const QString link = findLink(view->document(), QStringLiteral("LICENSE.LGPL"));
        QVERIFY2(!link.isEmpty(), "the about text carries no licence link");
        // act
        dialog.slotAnchorClicked(QUrl(link));
        // assert
        const QString text = view->toPlainText();
        for (const QString &piece : shown)
            QVERIFY2(text.contains(piece), qPrintable(text));
        for (const QString &piece : notShown)
            QVERIFY2(!text.contains(piece), qPrintable(text));
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    // Following the licence link with the mouse or the keyboard shows the
    // licence as plain text, not in the look of the link that was followed.
    void licenceShowsAsPlainTextWhenItsLinkIsFollowed_data()
    {
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("mouse click") << false;
        QTest::newRow("tab to the link, return") << true;
    }

    void licenceShowsAsPlainTextWhenItsLinkIsFollowed()
    {
        QFETCH(bool, byKeyboard);
        // arrange
        writeLicence("GNU LESSER GENERAL PUBLIC LICENSE\nVersion 3, 29 June 2007\n");
        AboutDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.showLegalNotices(false);
        QTextBrowser *view = legalView(dialog);
        const QString link = findLink(view->document(), QStringLiteral("LICENSE.LGPL"));
        const int at = linkPosition(view->document(), link);
        QVERIFY(at >= 0);
        // act
        if (byKeyboard) {
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Tab);
            QCOMPARE(view->textCursor().charFormat().anchorHref(), link);
            QTest::keyClick(view, Qt::Key_Return);
        } else {
            QTextCursor cursor(view->document());
            cursor.setPosition(at + 1);
            const QPoint point = view->cursorRect(cursor).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
        }
        // assert
        QVERIFY2(view->toPlainText().startsWith(QStringLiteral("GNU LESSER GENERAL PUBLIC LICENSE\nVersion 3")),
                 qPrintable(view->toPlainText()));
        QVERIFY(!hasLinkFormat(view->document()));
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void missingLicenceLeavesViewUnchanged()
    {
        QFile::remove(licencePath());
        AboutDialog dialog;
        dialog.showLegalNotices(false);
        const QString before = legalView(dialog)->toHtml();

        dialog.slotAnchorClicked(QUrl::fromLocalFile(licencePath()));

        QCOMPARE(legalView(dialog)->toHtml(), before);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }

    void otherLinksOpenOutside_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("web page") << "https://toolkit.example.org/source";
        QTest::newRow("mail") << "mailto:legal@example.org";
    }

    void otherLinksOpenOutside()
    {
        QFETCH(QString, link);
        AboutDialog dialog;
        dialog.showLegalNotices(false);
        const QString before = legalView(dialog)->toHtml();

        emit legalView(dialog)->anchorClicked(QUrl(link));

        QCOMPARE(UrlRecorder::instance()->urls(), QList<QUrl>{QUrl(link)});
        QCOMPARE(legalView(dialog)->toHtml(), before);
        QVERIFY(legalView(dialog)->source().isEmpty());
    }

    void registeredNoticeIsAppendedOnce()
    {
        // arrange
        AboutDialog::addLegalNotice(QStringLiteral("<p>Extra notice <!bundlepath!>extra.txt</p>"));
        const QString expected = QStringLiteral("<p>Extra notice ") + App::instance()->resourcesDirectory()
            + QStringLiteral("extra.txt</p>");
        // act: open the dialog twice, closing it with Ok
        for (int i = 0; i < 2; ++i) {
            AboutDialog dialog;
            ModalAnswerer answerer([](QWidget *d) { ModalAnswerer::clickButtonWithText(d, QStringLiteral("&Ok")); });
            dialog.exec();
            QVERIFY(answerer.answered());
            QVERIFY(!answerer.timedOut());
        }
        // assert
        QCOMPARE(App::instance()->aboutText().count(expected), 1);
        QCOMPARE(AboutDialog::legalNotices().count(expected), 1);
        AboutDialog dialog;
        dialog.showLegalNotices(false);
        QCOMPARE(legalView(dialog)->toPlainText().count(QStringLiteral("Extra notice")), 1);
    }

    void legalNoticesButtonTogglesPagesAtFixedSize()
    {
        AboutDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize size = dialog.size();
        QPushButton *toggle = buttonWithText(dialog, QStringLiteral("&Legal Notices"));
        QVERIFY(toggle);
        QLabel *logo = dialog.findChild<QLabel *>(QStringLiteral("LogoLabel"));
        QLabel *info = dialog.findChild<QLabel *>(QStringLiteral("AboutInfoLabel"));

        toggle->click();

        QCOMPARE(toggle->text(), QStringLiteral("&Back"));
        QVERIFY(logo->isHidden() && info->isHidden() && !legalView(dialog)->isHidden());
        QVERIFY(legalView(dialog)->toPlainText().contains(QStringLiteral("This Application Uses")));
        QCOMPARE(dialog.size(), size);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

        toggle->click();

        QCOMPARE(toggle->text(), QStringLiteral("&Legal Notices"));
        QVERIFY(!logo->isHidden() && !info->isHidden() && legalView(dialog)->isHidden());
        QCOMPARE(dialog.size(), size);
        QCOMPARE(dialog.windowTitle(), QCoreApplication::applicationName() + QStringLiteral(" Info"));
    }

    // The information strip: version line, rights notice with the build year,
    // and the maker's address as a link unless web links are disabled; a
    // placeholder address is left out.
    void informationStripFollowsWebLinkSetting_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<bool>("shown");
        QTest::newRow("links enabled") << false << QByteArray("http://127.0.0.1:6/") << true;
        QTest::newRow("links disabled") << true << QByteArray("http://127.0.0.1:6/") << true;
        QTest::newRow("placeholder address") << true << QByteArray() << false;
    }

    void informationStripFollowsWebLinkSetting()
    {
        QFETCH(bool, disabled);
        QFETCH(QByteArray, address);
        QFETCH(bool, shown);
        qputenv("GLYPH_SITE_INTERNATIONAL", address);
        App::instance()->setWebLinksDisabled(disabled);
        AboutDialog dialog;
        App::instance()->setWebLinksDisabled(false);
        qunsetenv("GLYPH_SITE_INTERNATIONAL");

        const QString text = dialog.findChild<QLabel *>(QStringLiteral("AboutInfoLabel"))->text();

        QVERIFY(text.contains(QCoreApplication::applicationName() + QStringLiteral(" v")
                              + QCoreApplication::applicationVersion() + QStringLiteral(" Build: ")
                              + App::buildDate().toString(QStringLiteral("dd.MM.yyyy"))));
        QVERIFY(text.contains(AboutDialog::rightsNotice(App::buildDate().year()).toHtmlEscaped()));
        QVERIFY(AboutDialog::rightsNotice(2031).contains(QStringLiteral("2031")));
        QCOMPARE(text.contains(QStringLiteral("<A HREF="), Qt::CaseInsensitive), shown && !disabled);
        QCOMPARE(text.contains(QStringLiteral("http://127.0.0.1:6/")), shown);
        QCOMPARE(text.contains(QStringLiteral("quillar.invalid")), false);
    }

    void makersAddressOpensThroughTheApplication_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("opened");
        QTest::newRow("placeholder") << "https://www.quillar.invalid/" << 0;
        QTest::newRow("real address") << "http://127.0.0.1:6/" << 1;
    }
    void makersAddressOpensThroughTheApplication()
    {
        QFETCH(QString, address);
        QFETCH(int, opened);
        // arrange
        AboutDialog dialog;
        auto *info = dialog.findChild<QLabel *>(QStringLiteral("AboutInfoLabel"));
        UrlRecorder::instance()->clear();
        // act: the label's own opening would bypass the placeholder check
        const bool opensItself = info->openExternalLinks();
        emit info->linkActivated(address);
        // assert
        QVERIFY(!opensItself);
        QCOMPARE(UrlRecorder::instance()->urls().size(), opened);
    }
};

GLYPH_APP_TEST_MAIN(TestAboutDialog, QMWidgets::App)
#include "tst_aboutdialog.moc"
