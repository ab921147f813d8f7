#include "cssdoc.h"

#include "csssyntaxhighlighter.h"
#include "filedialog.h"

#include <QFile>
#include <QFont>
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
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream stream(&file);
    stream << toPlainText();
    stream.flush();
    if (stream.status() != QTextStream::Ok || !file.commit())
        return false; // the uncommitted temporary file is discarded
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
