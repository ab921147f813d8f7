#pragma once

#include <QString>
#include <QTextCursor>
#include <QTextEdit>

namespace QMWidgets {

class CssSyntaxHighlighter;

// The style-sheet editor's text: plain text with syntax colouring, loaded
// from and saved to a file. File errors leave text and file name unchanged
// and are reported in a message box. The text keeps its own monospace face
// whatever font an applied style sheet sets. Lines wrap between words, and a
// word wider than the window anywhere; while the text holds a run of more
// than 1,024 characters without a break opportunity, which word wrapping
// lays out slowly, all lines wrap anywhere.
class CssDoc : public QTextEdit
{
    Q_OBJECT

public:
    explicit CssDoc(QWidget *parent = nullptr);

    // The document's own font and colours, which an applied style sheet must not change.
    void applyLook();

    // The current file; empty for a new document.
    QString fileName() const;
    void setFileName(const QString &fileName);

    CssSyntaxHighlighter *highlighter() const;

signals:
    void changeWindowTitle(const QString &title);

public slots:
    // Asks for a file and loads it; false when cancelled or refused. Only a
    // regular file of at most 4 MiB is read, and only shown when no line is
    // longer than 256 Ki characters (longer lines would freeze the window).
    bool slotLoad();
    // Saves to the current file (asking for one when there is none). The file
    // is replaced as a whole only after everything was written, so a failed
    // save keeps the old file; a folder, device or pipe is never replaced.
    // Text that slotLoad() would refuse (too long a line, too many bytes) is
    // saved only when the user says so to a question asked before writing.
    // Returns false then and when cancelled or declined.
    bool slotSave();
    // Asks for a file name, then saves; false when cancelled or the save
    // failed. The chosen name becomes the current one only once it was saved.
    bool slotSaveAs();

protected:
    void changeEvent(QEvent *event) override;

private:
    bool saveTo(const QString &fileName);
    // Why slotLoad() would refuse the text for its lines; empty when it would not.
    QString overlongLineReason(const QString &text) const;
    // Chooses the wrap mode after a change of the text at the position.
    void updateWrapMode(int position, int added);

    QString m_fileName;
    CssSyntaxHighlighter *m_highlighter = nullptr;
    // At the start of a run too long to wrap at word boundaries; null when
    // the text holds none.
    QTextCursor m_longRun;
};

} // namespace QMWidgets
