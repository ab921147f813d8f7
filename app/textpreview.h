#pragma once

#include "preview.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <list>

class QClipboard;
class QLabel;
class LongTextEdit;
class QPushButton;

// One text view of the current image: the encoded bytes in base64, placed as
// a data URI into a fixed template (HTML page, CSS page, XML element, img tag
// or the bare base64 text), in an editable box with Copy, Save and, for the
// two pages, Show in the web browser. The three buttons are offered only
// while there is a picture (none loaded, or scaled to an empty size, gives
// nothing to export).
class TextPreview : public Preview
{
    Q_OBJECT
public:
    enum Type { Html = 0, Base64 = 1, Css = 2, Xml = 3, Xhtml = 4 };

    explicit TextPreview(QWidget *parent = nullptr);
    // Ends like every other ending (see isTextPending).
    ~TextPreview() override;

    // Sets the form once after construction; XML, XHTML and BASE64 hide Show.
    void setType(int type);
    int type() const { return form; }

    // Writes the editor's current text to the path as a saved text. Returns
    // false on any failure; an existing file then stays as it was, and error
    // (when given) receives a sentence for the user.
    bool writeToFile(const QString &path, QString *error = nullptr);

    // True while a newer text is on its way (expected, or asked of the
    // cache); Copy, Save and Show then wait for it. Copy and Show carry the
    // text shown when it arrives. A Save carries the text of the picture it
    // was confirmed for, whatever comes after (confirmed while a text is
    // expected: the picture the view settles on); it keeps its own request
    // for that text. Every ending (the window closing, the application
    // quitting, the view going) writes the Saves still waiting at once, in
    // the order confirmed, and drops a waiting Copy or Show.
    bool isTextPending() const { return pendingText != 0 || expecting; }

    // A new text is on its way: until settleText(), new pixmaps and format
    // strings are stored but redraw nothing, and Copy, Save and Show wait.
    void expectText();
    // The stored pixmap and format string are the ones that count: redraws
    // from them (a hidden view too when its format changed or something
    // waits), and what waits acts on that text, or at once on the text shown
    // when it is already of them.
    void settleText();

    // The text of a form for the given encoded bytes and picture size; the
    // format word is the lower-cased format name. Unknown forms give "".
    static QString buildText(int type, const QString &formatWord, const QString &base64,
                             int width, int height);
    // The parts of that text before and after the base64 text; false (both
    // empty) for unknown forms, whose text is empty.
    static bool templateAround(int type, const QString &formatWord, int width, int height,
                               QString *head, QString *tail);

    // Byte form of a saved text: Latin-1 when every character fits, else
    // UTF-8 without byte-order mark.
    static QByteArray savedTextBytes(const QString &text);
    // Byte form of a browser preview page: plain ASCII as is, anything else
    // as UTF-8 behind a UTF-8 byte-order mark.
    static QByteArray previewPageBytes(const QString &text);

protected:
    // Rebuilds the text from the pixmap and the stored format string,
    // replacing any edits: at once when the encoded bytes are known, else when
    // they arrive from the cache (a later refresh supersedes this one). A text
    // already shown for this very pixmap and format string is kept as it is,
    // edits included: showing the view again changes nothing.
    void refresh(const QPixmap &pixmap) override;
    // Watches the window for its closing while a Save waits.
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void slotShowInWebBrowser();
    void slotSave();
    void slotClipboard();

private:
    // What a click asked for while the text was still on its way.
    enum WaitingAction { NoAction = 0, CopyAction = 1, ShowAction = 4 };

    // Saves confirmed while the text of one picture was on its way, with
    // their own request for that text.
    struct HeldSaves
    {
        quint64 id = 0;
        quint64 ticket = 0;  // the cache's ticket of the text, 0 once it arrived
        bool bound = true;   // false: confirmed while a text was expected
        QPixmap pixmap;
        QString spec;
        QStringList names;   // oldest first
        bool arrived = false;
        QByteArray base64;   // the text once arrived
    };

    void showText(int type, const QString &formatWord, const QByteArray &base64, int width,
                  int height);
    QByteArray editorSavedBytes() const;
    void copyNow();
    void saveNow(const QString &fileName);
    void showNow();
    void wait(int action);
    void runWaitingActions();
    // A busy cursor and a watch on the window while anything waits.
    void updateWaiting();
    // Holds a Save for the picture whose text is on its way (bound), or for
    // the text expected, whose picture is not known yet.
    void holdSave(const QString &fileName, bool bound);
    // Gives the held Saves confirmed while a text was expected their picture:
    // the text on its way, else the one shown.
    void bindHeldSaves();
    // Asks the cache for the text of the batch's picture.
    void requestHeldText(HeldSaves &batch);
    void heldTextArrived(quint64 id, const QByteArray &base64);
    // Writes the held Saves up to the given batch, oldest first (a text not
    // yet arrived is built here and now), and any later ones whose text has
    // arrived.
    void writeHeldSaves(quint64 upTo);
    QByteArray heldSaveBytes(const HeldSaves &batch) const;
    // The ending: writes every held Save now and drops a waiting Copy or Show.
    // Standard error tells each name as its writing begins.
    void finishWaitingSave();
    // Tells Os what an interrupt would leave unwritten while any view ends.
    static void publishUnwritten();

    int form;
    QLabel *sizeLabel;
    LongTextEdit *editor;
    QPushButton *showButton;
    QPushButton *copyButton;
    QPushButton *saveButton;
    bool textMade;             // a text was asked for at least once
    qint64 textPixmapKey;      // cache key of the pixmap of the last text asked for
    QString textFormatSpec;    // and its format string
    QClipboard *clipboard;
    quint64 pendingText;  // the cache's ticket of the text on its way, 0 if none
    QPixmap pendingPixmap;  // what that text is of
    QString pendingSpec;
    bool expecting = false;        // a new text is on its way (expectText)
    bool refreshDeferred = false;  // a redraw was asked for meanwhile
    int waitingActions;   // WaitingAction flags
    std::list<HeldSaves> heldSaves;  // one batch per picture, oldest first
    quint64 lastHeldId = 0;
    quint64 writeHeldThrough = 0;    // held batches up to this one are due now
    bool writingHeldSaves = false;
    bool ending = false;             // finishWaitingSave() is writing
    QStringList writingNow;          // names of the batch taken out, not yet written
    static QList<TextPreview *> views;
    static int endingViews;
    QPointer<QWidget> watchedWindow;  // the window whose closing ends what waits
};
