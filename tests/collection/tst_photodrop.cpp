#include "dropwidget.h"
#include "modalanswerer.h"
#include "dragdrop.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/stat.h>

using QMWidgets::DropWidget;

Q_DECLARE_METATYPE(QList<QUrl>)

namespace {

bool sendDragEnter(QWidget *target, QMimeData *mime)
{
    return DragDrop::enter(target, mime, QPoint(5, 5));
}

// A drop reaches only the widget that accepted the drag's enter event, so a
// drop is always preceded by its enter, as in a real drag.
bool sendDrop(QWidget *target, QMimeData *mime)
{
    return DragDrop::drop(target, mime, QPoint(5, 5));
}

QList<QUrl> urlsOf(const QSignalSpy &spy, int i)
{
    return spy.at(i).at(0).value<QList<QUrl>>();
}

} // namespace

class TestPhotoDrop : public QObject
{
    Q_OBJECT

private:
    QString m_folder;

    QString path(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }

private slots:
    void initTestCase()
    {
        m_folder = TestEnvironment::homePath() + QStringLiteral("/photos");
        QVERIFY(QDir().mkpath(m_folder + QStringLiteral("/album")));
        for (const char *name : {"a.png", "b.jpg", "notes.txt"}) {
            QFile f(path(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    }

    void constructionLook()
    {
        DropWidget drop;
        QCOMPARE(drop.objectName(), QStringLiteral("DropArea"));
        QVERIFY(drop.acceptDrops());
        QVERIFY(!drop.picture().isNull());
        QCOMPARE(drop.text(), QStringLiteral("<H1>Drop the photos here</H1>"));
        auto *button = drop.findChild<QPushButton *>(QStringLiteral("PushButton"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Click to open the photos"));
        QVERIFY(!button->icon().isNull());
    }

    void dragEnterAcceptsOnlyLocalFilesAndFolders_data()
    {
        QTest::addColumn<QStringList>("names"); // "" entries are replaced below
        QTest::addColumn<bool>("plainTextOnly");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain text only") << QStringList() << true << false;
        QTest::newRow("one file") << QStringList{"a.png"} << false << true;
        QTest::newRow("folder") << QStringList{"album"} << false << true;
        QTest::newRow("fifo only") << QStringList{"pipe"} << false << false;
        QTest::newRow("missing only") << QStringList{"gone.png"} << false << false;
        QTest::newRow("remote only") << QStringList{"http://example.invalid/a.png"} << false << false;
        QTest::newRow("fifo with a file") << QStringList{"pipe", "a.png"} << false << true;
    }

    void dragEnterAcceptsOnlyLocalFilesAndFolders()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, plainTextOnly);
        QFETCH(bool, accepted);
        // arrange
        DropWidget drop;
        QMimeData mime;
        if (plainTextOnly) {
            mime.setText(path(QStringLiteral("a.png")));
        } else {
            QList<QUrl> urls;
            for (const QString &name : names)
                urls << (name.startsWith(QLatin1String("http")) ? QUrl(name) : url(name));
            mime.setUrls(urls);
        }
        // act, assert
        QCOMPARE(sendDragEnter(&drop, &mime), accepted);
    }

    void dropHandsOnFilesAndFoldersInOrderAndHides()
    {
        // arrange
        DropWidget drop;
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        QMimeData mime;
        mime.setUrls({url("b.jpg"), url("pipe"), url("album"), url("a.png"), url("notes.txt")});
        // act
        QVERIFY(sendDrop(&drop, &mime));
        // assert: the pipe is left out, the rest keep the drag's order
        QCOMPARE(spy.count(), 1);
        const QList<QUrl> expected{url("b.jpg"), url("album"), url("a.png"), url("notes.txt")};
        QCOMPARE(urlsOf(spy, 0), expected);
        QCOMPARE(drop.urls(), expected);
        QVERIFY(drop.isHidden());
    }

    void dropIsTakenAsACopy_data()
    {
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("taken");
        QTest::newRow("copy or move, move proposed")
            << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::ShiftModifier) << true;
        QTest::newRow("copy only") << int(Qt::CopyAction) << int(Qt::NoModifier) << true;
        QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::NoModifier) << false;
    }

    void dropIsTakenAsACopy()
    {
        // arrange
        QFETCH(int, possible);
        QFETCH(int, modifiers);
        QFETCH(bool, taken);
        DropWidget drop;
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        QMimeData mime;
        mime.setUrls({url("a.png")});
        const auto actions = Qt::DropActions(possible);
        const auto keys = Qt::KeyboardModifiers(modifiers);
        QDragEnterEvent enter(QPoint(5, 5), actions, &mime, Qt::LeftButton, keys);
        QDropEvent event(QPointF(5, 5), actions, &mime, Qt::LeftButton, keys);
        // act
        QApplication::sendEvent(&drop, &enter);
        QApplication::sendEvent(&drop, &event);
        // assert: a copy whatever the source proposes, or nothing
        QCOMPARE(enter.isAccepted(), taken);
        QCOMPARE(event.isAccepted(), taken);
        QCOMPARE(spy.count(), taken ? 1 : 0);
        if (taken) {
            QCOMPARE(enter.dropAction(), Qt::CopyAction);
            QCOMPARE(event.dropAction(), Qt::CopyAction);
        }
    }

    void fileGoneBeforeDropChangesNothing()
    {
        // arrange: the drag enters while the file exists
        const QString name = QStringLiteral("brief.png");
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        DropWidget drop;
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        QMimeData mime;
        mime.setUrls({url("pipe"), url(name)});
        QVERIFY(sendDragEnter(&drop, &mime));
        // act: it is removed before the drop
        QVERIFY(QFile::remove(path(name)));
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&drop, &event);
        // assert
        QVERIFY(!event.isAccepted());
        QCOMPARE(spy.count(), 0);
        QVERIFY(drop.isVisible());
        QVERIFY(drop.urls().isEmpty());
    }

    void hideOnDropClearedKeepsWidgetVisible()
    {
        DropWidget drop;
        drop.setHideOnDrop(false);
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        QMimeData mime;
        mime.setUrls({url("a.png")});
        QVERIFY(sendDrop(&drop, &mime));
        QCOMPARE(spy.count(), 1);
        QVERIFY(drop.isVisible());
    }

    void openDialogFilesOrFolder_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("files") << 1 << "\"a.png\" \"b.jpg\"" << QStringList{"a.png", "b.jpg"};
        QTest::newRow("folder") << 0 << "album" << QStringList{"album"};
    }

    void openDialogFilesOrFolder()
    {
        QFETCH(int, mode);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        // arrange
        DropWidget drop;
        drop.setOpenMode(mode);
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        QString title;
        QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
        const QString folder = m_folder;
        ModalAnswerer answerer([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog)
                return;
            title = dialog->windowTitle();
            fileMode = dialog->fileMode();
            dialog->setDirectory(folder);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(typed);
            static_cast<QDialog *>(dialog)->accept();
        });
        // act
        drop.slotOpenClicked();
        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(title, mode == 0 ? QStringLiteral("Open folder") : QStringLiteral("Open files"));
        QCOMPARE(fileMode, mode == 0 ? QFileDialog::Directory : QFileDialog::ExistingFiles);
        QList<QUrl> urls;
        for (const QString &name : expected)
            urls << url(name);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(urlsOf(spy, 0), urls);
        QVERIFY(drop.isHidden());
    }

    void cancelledDialogEmitsNothing()
    {
        DropWidget drop;
        drop.show();
        QSignalSpy spy(&drop, SIGNAL(dropped(QList<QUrl>)));
        ModalAnswerer answerer([](QWidget *w) {
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
        });
        drop.slotOpenClicked();
        QVERIFY(answerer.answered());
        QCOMPARE(spy.count(), 0);
        QVERIFY(drop.isVisible());
    }

    void widgetDestroyedWhileDialogRunsIsSafe()
    {
        QPointer<DropWidget> drop = new DropWidget;
        drop->show();
        ModalAnswerer answerer([&](QWidget *) { delete drop.data(); });
        drop->slotOpenClicked(); // must return without touching the destroyed widget
        QVERIFY(answerer.answered());
        QVERIFY(drop.isNull());
    }
};

GLYPH_TEST_MAIN(TestPhotoDrop)
#include "tst_photodrop.moc"
