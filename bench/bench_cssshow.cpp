// Opens style sheets in the style-sheet editor as its Open action does and
// prints, per file, the time until Open returned (text set and coloured),
// until the window was painted, and until the whole text was laid out, and
// the longest idle-time layout step (how long the window froze at most).
// Then it types ten characters in the middle of the longest line, one key
// event and one repaint each, and prints the slowest key (how long the
// window waits for each key typed there).
//
//   QT_QPA_PLATFORM=offscreen bench_cssshow FILE...
//
// A refusal's message box is closed at once; the line then says "refused".
// Run it under /usr/bin/time -v with one file for the peak memory.
#include "cssdoc.h"
#include "csseditor.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

#include <cstdio>

namespace {

// Answers the next modal dialogs: a file dialog picks the file, anything
// else is closed. A chain left over from an earlier file stops.
int generation = 0;

void answerDialogs(const QString &fileName, int chain)
{
    QTimer::singleShot(10, [fileName, chain] {
        if (chain != generation)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            // selectFile() leaves the name field alone while it has the
            // focus; the name is typed into it instead.
            const QFileInfo info(fileName);
            files->setDirectory(info.absolutePath());
            if (auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(info.fileName());
            static_cast<QDialog *>(files)->accept();
            answerDialogs(files->isVisible() ? fileName : QString(), chain);
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else if (!fileName.isNull()) {
            answerDialogs(fileName, chain);
        }
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        auto *editor = new QMWidgets::CssEditor;
        editor->resize(800, 600);
        editor->show();
        QApplication::processEvents();
        answerDialogs(name, ++generation);
        QElapsedTimer clock;
        clock.start();
        const bool loaded = editor->document()->slotLoad();
        const double opened = clock.nsecsElapsed() / 1e6;
        editor->repaint();
        const double painted = clock.nsecsElapsed() / 1e6;
        // The editor lays out the rest in idle-time steps from the top, the
        // last line last; the longest step is the longest the window froze.
        QTextBlock last = editor->document()->document()->lastBlock();
        while (last.isValid() && last.length() <= 1 && last.previous().isValid())
            last = last.previous();
        double longestStep = 0;
        while (loaded && last.layout()->lineCount() == 0 && clock.elapsed() < 300000) {
            QElapsedTimer step;
            step.start();
            QApplication::processEvents();
            longestStep = qMax(longestStep, step.nsecsElapsed() / 1e6);
        }
        const double laidOut = clock.nsecsElapsed() / 1e6;
        double slowestKey = 0;
        if (loaded) {
            QMWidgets::CssDoc *doc = editor->document();
            QTextBlock longest = doc->document()->firstBlock();
            for (QTextBlock b = longest; b.isValid(); b = b.next()) {
                if (b.length() > longest.length())
                    longest = b;
            }
            QTextCursor cursor(longest);
            cursor.setPosition(longest.position() + longest.length() / 2);
            doc->setTextCursor(cursor);
            doc->ensureCursorVisible();
            QApplication::processEvents();
            for (int key = 0; key < 10; ++key) {
                QElapsedTimer typing;
                typing.start();
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
                QApplication::sendEvent(doc, &press);
                editor->repaint();
                QApplication::processEvents();
                slowestKey = qMax(slowestKey, typing.nsecsElapsed() / 1e6);
            }
        }
        std::printf("%-24s %s  open %7.1f ms  painted %7.1f ms  laid out %8.1f ms  longest step %7.1f ms"
                    "  slowest key %7.1f ms\n",
                    argv[i], loaded ? "shown  " : "refused", opened, painted, laidOut, longestStep, slowestKey);
        delete editor;
    }
    return 0;
}
