#include "filedialog.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>

#include <memory>

using QMWidgets::FileDialog;

namespace {

const QFileDialog::Options WidgetDialog = QFileDialog::DontUseNativeDialog;

// What the answer saw of the dialog it answered.
struct Seen
{
    QWidget *parent = nullptr;
    QString title;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    bool widgetBased = false;
    Qt::WindowModality modality = Qt::NonModal;
};

// Types the names into the dialog's name field, in the given folder, and accepts.
ModalAnswerer::Answer choose(const QString &folder, const QString &names, Seen *seen)
{
    return [=](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog)
            return;
        seen->parent = dialog->parentWidget();
        seen->title = dialog->windowTitle();
        seen->mode = dialog->fileMode();
        seen->acceptMode = dialog->acceptMode();
        seen->widgetBased = dialog->testOption(QFileDialog::DontUseNativeDialog);
        seen->modality = dialog->windowModality();
        dialog->setDirectory(folder);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (edit)
            edit->setText(names);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept, through the public base
    };
}

void reject(QWidget *w)
{
    if (auto *dialog = qobject_cast<QDialog *>(w))
        dialog->reject();
}

} // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT

private:
    QString m_folder;

    QStringList run(const QString &function, QWidget *parent, QString *selectedFilter = nullptr,
                    const QString &filter = QString())
    {
        const QString caption = QStringLiteral("Pick");
        if (function == QLatin1String("open"))
            return {FileDialog::getOpenFileName(parent, caption, m_folder, filter, selectedFilter, WidgetDialog)};
        if (function == QLatin1String("openMany"))
            return FileDialog::getOpenFileNames(parent, caption, m_folder, filter, selectedFilter, WidgetDialog);
        return {FileDialog::getSaveFileName(parent, caption, m_folder, filter, selectedFilter, WidgetDialog)};
    }

private slots:
    void initTestCase()
    {
        m_folder = TestEnvironment::homePath() + QStringLiteral("/pictures");
        QVERIFY(QDir().mkpath(m_folder));
        for (const char *name : {"a.png", "b.png", "notes.txt"}) {
            QFile f(m_folder + QLatin1Char('/') + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
    }

    void acceptedDialogReturnsChoice_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("withParent");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("acceptMode");
        const QString f = TestEnvironment::homePath() + QStringLiteral("/pictures/");
        for (bool withParent : {true, false}) {
            const char *tag = withParent ? "parent" : "no parent";
            QTest::addRow("open, %s", tag) << "open" << withParent << "a.png" << QStringList{f + "a.png"}
                                           << int(QFileDialog::ExistingFile) << int(QFileDialog::AcceptOpen);
            QTest::addRow("open many, %s", tag)
                << "openMany" << withParent << "\"b.png\" \"a.png\"" << QStringList{f + "b.png", f + "a.png"}
                << int(QFileDialog::ExistingFiles) << int(QFileDialog::AcceptOpen);
            // The name comes back as typed: no extension is added.
            QTest::addRow("save, %s", tag) << "save" << withParent << "report" << QStringList{f + "report"}
                                           << int(QFileDialog::AnyFile) << int(QFileDialog::AcceptSave);
        }
    }
    void acceptedDialogReturnsChoice()
    {
        QFETCH(QString, function);
        QFETCH(bool, withParent);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(int, mode);
        QFETCH(int, acceptMode);
        // arrange
        QWidget parent;
        parent.setStyleSheet(QStringLiteral("QWidget { color: #123456; }"));
        Seen seen;
        ModalAnswerer answerer(choose(m_folder, typed, &seen));
        answerer.setClassName("QFileDialog");
        // act
        const QStringList result = run(function, withParent ? &parent : nullptr);
        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(result, expected);
        QCOMPARE(seen.title, QStringLiteral("Pick"));
        QCOMPARE(int(seen.mode), mode);
        QCOMPARE(int(seen.acceptMode), acceptMode);
        QVERIFY(seen.widgetBased); // the options reach the dialog
        if (withParent) {
            QCOMPARE(seen.parent, &parent);
            QVERIFY(seen.modality != Qt::NonModal);
            QVERIFY(parent.findChildren<QFileDialog *>().isEmpty()); // destroyed before returning
        } else {
            QCOMPARE(seen.parent, static_cast<QWidget *>(nullptr));
        }
    }

    void cancelledDialogReturnsNothing_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<bool>("withParent");
        for (const char *function : {"open", "openMany", "save"}) {
            QTest::addRow("%s, parent", function) << function << true;
            QTest::addRow("%s, no parent", function) << function << false;
        }
    }
    void cancelledDialogReturnsNothing()
    {
        QFETCH(QString, function);
        QFETCH(bool, withParent);
        QWidget parent;
        ModalAnswerer answerer(reject);
        answerer.setClassName("QFileDialog");

        const QStringList result = run(function, withParent ? &parent : nullptr);

        QVERIFY(answerer.answered());
        if (function == QLatin1String("openMany"))
            QVERIFY(result.isEmpty());
        else
            QCOMPARE(result, QStringList{QString()});
    }

    void selectedFilterUntouchedWithParent()
    {
        const QString filter = QStringLiteral("Text (*.txt)");
        Seen seen;
        QWidget parent;
        QString selected = QStringLiteral("kept");
        {
            ModalAnswerer answerer(choose(m_folder, QStringLiteral("notes.txt"), &seen));
            answerer.setClassName("QFileDialog");
            QCOMPARE(run(QStringLiteral("open"), &parent, &selected, filter).value(0),
                     m_folder + QStringLiteral("/notes.txt"));
        }
        QCOMPARE(selected, QStringLiteral("kept"));

        // Without a parent Qt's own function reports the filter.
        ModalAnswerer answerer(choose(m_folder, QStringLiteral("notes.txt"), &seen));
        answerer.setClassName("QFileDialog");
        run(QStringLiteral("open"), nullptr, &selected, filter);
        QCOMPARE(selected, filter);
    }

    // Replacing an existing file is asked in the shell's guarded message box:
    // "Yes" takes the name, "No" goes back to the dialog for another one, and
    // a parent destroyed while the question is open ends the choice cleanly.
    void existingFileIsReplacedOnlyWhenConfirmed_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("chosen");     // the name comes back
        QTest::addColumn<bool>("askedAgain"); // the dialog came back for another name
        QTest::newRow("yes takes the name") << "Yes" << true << false;
        QTest::newRow("no goes back to the dialog") << "No" << false << true;
        QTest::newRow("parent destroyed meanwhile") << "destroy" << false << false;
    }
    void existingFileIsReplacedOnlyWhenConfirmed()
    {
        QFETCH(QString, answer);
        QFETCH(bool, chosen);
        QFETCH(bool, askedAgain);
        // arrange
        QPointer<QWidget> parent = new QWidget;
        std::unique_ptr<ModalAnswerer> question;
        std::unique_ptr<ModalAnswerer> again;
        QString asked;
        ModalAnswerer chooser([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(QStringLiteral("a.png"));
            // Queued: accepting asks the question in a nested loop.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            question = std::make_unique<ModalAnswerer>([&](QWidget *box) {
                asked = ModalAnswerer::labelTexts(box);
                if (answer == QLatin1String("destroy")) {
                    delete parent.data();
                    return;
                }
                if (answer == QLatin1String("No")) {
                    again = std::make_unique<ModalAnswerer>(reject, 3000);
                    again->setClassName("QFileDialog");
                }
                ModalAnswerer::clickButtonWithText(box, answer);
            }, 3000);
        }, 3000);
        chooser.setClassName("QFileDialog");
        // act
        const QString result = FileDialog::getSaveFileName(parent, QStringLiteral("Pick"), m_folder,
                                                           QString(), nullptr, WidgetDialog);
        // assert
        QVERIFY(chooser.answered());
        QVERIFY(question && question->answered());
        QVERIFY2(asked.contains(QStringLiteral("a.png already exists")), qPrintable(asked));
        QCOMPARE(result, chosen ? m_folder + QStringLiteral("/a.png") : QString());
        QCOMPARE(again && again->answered(), askedAgain);
        QCOMPARE(parent.isNull(), answer == QLatin1String("destroy"));
        delete parent.data();
    }

    void parentDestroyedWhileDialogRuns_data()
    {
        QTest::addColumn<QString>("function");
        for (const char *function : {"open", "openMany", "save"})
            QTest::newRow(function) << function;
    }
    void parentDestroyedWhileDialogRuns()
    {
        QFETCH(QString, function);
        // arrange
        QPointer<QWidget> parent = new QWidget;
        ModalAnswerer answerer([&parent](QWidget *) { delete parent.data(); });
        answerer.setClassName("QFileDialog");
        // act: the dialog dies with its parent; it must not be destroyed again
        const QStringList result = run(function, parent);
        // assert
        QVERIFY(answerer.answered());
        QVERIFY(parent.isNull());
        QVERIFY(result.isEmpty() || result == QStringList{QString()});
    }
};

GLYPH_TEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
