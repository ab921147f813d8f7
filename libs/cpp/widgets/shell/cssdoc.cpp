#include "cssdoc.h"

#include "csssyntaxhighlighter.h"
#include "filedialog.h"
#include "mmessagebox.h"

#include <QFile>
#include <QFont>
#include <QMessageBox>
#include <QSaveFile>
#include <QTextStream>

namespace QMWidgets {

CssDoc::CssDoc(QWidget *parent)
    : QTextEdit(parent)
{
    m_highlighter = new CssSyntaxHighlighter(document());
    applyLook();
}

void CssDoc::applyLook()
{
    QFont font(QStringLiteral("Lucida Console"), 12, QFont::Normal, false);
    // Where that face is missing, a monospace one rather than the proportional default.
    font.setStyleHint(QFont::TypeWriter);
    document()->setDefaultFont(font);
    setStyleSheet(QStringLiteral("QTextEdit{background: #000060; color: yellow;}"));
}

QString CssDoc::fileName() const
{
    return m_fileName;
}

void CssDoc::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

CssSyntaxHighlighter *CssDoc::highlighter() const
{
    return m_highlighter;
}

bool CssDoc::slotLoad()
{
    const QString name = FileDialog::getOpenFileName(this, QString(), QString(), QString());
    if (name.isEmpty())
        return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTextStream stream(&file);
    setPlainText(stream.readAll());
    file.close();
    m_fileName = name;
    emit changeWindowTitle(m_fileName);
    return true;
}

bool CssDoc::slotSave()
{
    if (m_fileName.isEmpty())
        return slotSaveAs();

    QSaveFile file(m_fileName);
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) {
        QTextStream stream(&file);
        stream << toPlainText();
        stream.flush();
        // An uncommitted temporary file is discarded; the old file stays.
        saved = stream.status() == QTextStream::Ok && file.commit();
    }
    if (!saved) {
        const QString reason = file.errorString();
        MMessageBox::warning(this, tr("Save"),
                             tr("The style sheet could not be saved to %1.<BR>%2")
                                 .arg(m_fileName.toHtmlEscaped(), reason.toHtmlEscaped()),
                             QMessageBox::Ok);
        return false;
    }
    emit changeWindowTitle(m_fileName);
    return true;
}

bool CssDoc::slotSaveAs()
{
    const QString name = FileDialog::getSaveFileName(this, m_fileName, QString(), QString());
    if (name.isEmpty())
        return false;
    m_fileName = name;
    return slotSave();
}

} // namespace QMWidgets
