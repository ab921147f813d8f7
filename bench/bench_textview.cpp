// Times the text view of the previews on a data URI on one long line.
//
//   QT_QPA_PLATFORM=offscreen bench_textview [--no-qt] [--sizes 1,4,17]
//
// For each size (millions of base64 characters inside an img tag) it times,
// on an 800 x 600 view: setPlainText and the first paint, a scroll to the
// end (both scroll bars) with its paint, and select all with copy (checking that the clipboard
// then holds the text unchanged), then one typed character near the end
// with its paint. LongTextEdit runs in both wrap modes;
// QPlainTextEdit, for comparison, at 1 and 4 million characters.
#include "longtextedit.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>

#include <cstdio>

namespace {

QString dataUriText(int base64Chars)
{
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QString payload(base64Chars, Qt::Uninitialized);
    QChar *out = payload.data();
    quint64 state = 12345;
    for (int i = 0; i < base64Chars; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        out[i] = QLatin1Char(alphabet[(state >> 33) & 63]);
    }
    return QStringLiteral("<HTML><BODY><img src=\"data:image/jpeg;base64,") + payload
           + QStringLiteral("\"/></BODY></HTML>");
}

struct Times
{
    double setAndPaint = 0;
    double scrollToEnd = 0;
    double selectAllCopy = 0;
    double keystroke = 0;
    bool copyExact = false;
    bool typedExact = false;
};

double msSince(const QElapsedTimer &clock)
{
    return clock.nsecsElapsed() / 1e6;
}

template <typename Editor>
Times run(Editor &editor, const QString &text)
{
    Times times;
    QElapsedTimer clock;
    clock.start();
    editor.setPlainText(text);
    editor.grab();
    times.setAndPaint = msSince(clock);

    clock.restart();
    QScrollBar *vertical = editor.verticalScrollBar();
    vertical->setValue(vertical->maximum());
    vertical->setValue(vertical->maximum()); // the range may have been an estimate
    QScrollBar *horizontal = editor.horizontalScrollBar();
    horizontal->setValue(horizontal->maximum());
    horizontal->setValue(horizontal->maximum());
    editor.grab();
    times.scrollToEnd = msSince(clock);

    clock.restart();
    editor.selectAll();
    editor.copy();
    times.selectAllCopy = msSince(clock);
    times.copyExact = QGuiApplication::clipboard()->text() == text;

    QKeyEvent toEnd(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&editor, &toEnd); // drops the selection
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    for (int i = 0; i < 5; ++i)
        QApplication::sendEvent(&editor, &left);
    editor.grab();
    clock.restart();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&editor, &key);
    editor.grab();
    times.keystroke = msSince(clock);
    times.typedExact = editor.toPlainText().size() == text.size() + 1;
    return times;
}

void print(const char *name, int millions, const Times &times)
{
    std::printf("%-24s %3dM  set+paint %8.1f ms  scroll to end %7.1f ms  select all+copy %6.1f ms"
                "  total %8.1f ms  copy %-7s  keystroke+paint %7.1f ms%s\n",
                name, millions, times.setAndPaint, times.scrollToEnd, times.selectAllCopy,
                times.setAndPaint + times.scrollToEnd + times.selectAllCopy,
                times.copyExact ? "exact" : "DIFFERS", times.keystroke,
                times.typedExact ? "" : "  (typing went wrong)");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool withQt = !args.contains(QStringLiteral("--no-qt"));
    QList<int> sizes = {1, 4, 17};
    const int sizesAt = args.indexOf(QStringLiteral("--sizes"));
    if (sizesAt >= 0 && sizesAt + 1 < args.size()) {
        sizes.clear();
        for (const QString &size : args.at(sizesAt + 1).split(QLatin1Char(',')))
            sizes.append(size.toInt());
    }

    {
        // Font caches and first-use costs, outside the figures.
        LongTextEdit warm;
        warm.show();
        run(warm, dataUriText(1000));
        QPlainTextEdit qtWarm;
        qtWarm.show();
        run(qtWarm, dataUriText(1000));
    }

    for (const int millions : sizes) {
        const QString text = dataUriText(millions * 1000000);
        {
            LongTextEdit editor;
            editor.resize(800, 600);
            editor.show();
            app.processEvents();
            print("LongTextEdit (wrap)", millions, run(editor, text));
        }
        {
            LongTextEdit editor;
            editor.setLineWrapMode(LongTextEdit::NoWrap);
            editor.resize(800, 600);
            editor.show();
            app.processEvents();
            print("LongTextEdit (no wrap)", millions, run(editor, text));
        }
        if (withQt && millions <= 4) {
            QPlainTextEdit editor;
            editor.resize(800, 600);
            editor.show();
            app.processEvents();
            print("QPlainTextEdit (wrap)", millions, run(editor, text));
        }
    }
    return 0;
}
