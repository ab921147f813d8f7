#include "csssyntaxhighlighter.h"

#include <QTextCharFormat>

namespace QMWidgets {

namespace {

enum BlockState { Plain = -1, InComment = 0, InQuote = 1 };

// The character at the index, or a null character outside the text; every
// read goes through here so no index before 0 or past the end is touched.
QChar charAt(const QString &text, int index)
{
    return index >= 0 && index < text.size() ? text.at(index) : QChar();
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

bool isDigitChar(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c.unicode() > 127 && c.isNumber());
}

// The format of each colour, made once rather than for every coloured piece.
const QTextCharFormat &coloured(Qt::GlobalColor colour)
{
    static const QVector<QTextCharFormat> formats = [] {
        QVector<QTextCharFormat> all(Qt::transparent + 1);
        for (int i = 0; i < all.size(); ++i)
            all[i].setForeground(QColor(Qt::GlobalColor(i)));
        return all;
    }();
    return formats.at(colour);
}

bool startsAt(const QString &text, int position, QLatin1String piece)
{
    return position >= 0 && QStringRef(&text, position, qMax(0, text.size() - position)).startsWith(piece);
}

} // namespace

CssSyntaxHighlighter::CssSyntaxHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
    m_keywords << QStringLiteral("foreach") << QStringLiteral("bool") << QStringLiteral("int")
               << QStringLiteral("void") << QStringLiteral("double") << QStringLiteral("float")
               << QStringLiteral("char") << QStringLiteral("delete") << QStringLiteral("class")
               << QStringLiteral("const") << QStringLiteral("virtual") << QStringLiteral("mutable")
               << QStringLiteral("this") << QStringLiteral("struct") << QStringLiteral("union")
               << QStringLiteral("throw") << QStringLiteral("for") << QStringLiteral("if")
               << QStringLiteral("else") << QStringLiteral("false") << QStringLiteral("namespace")
               << QStringLiteral("switch") << QStringLiteral("case") << QStringLiteral("public")
               << QStringLiteral("private") << QStringLiteral("protected") << QStringLiteral("new")
               << QStringLiteral("return") << QStringLiteral("using") << QStringLiteral("true")
               << QStringLiteral("->") << QStringLiteral(">>") << QStringLiteral("<<")
               << QStringLiteral(">") << QStringLiteral("<") << QStringLiteral("(") << QStringLiteral(")")
               << QStringLiteral("{") << QStringLiteral("}") << QStringLiteral("[") << QStringLiteral("]")
               << QStringLiteral("+") << QStringLiteral("-") << QStringLiteral("*") << QStringLiteral("/")
               << QStringLiteral("=") << QStringLiteral("!") << QStringLiteral(".") << QStringLiteral(",")
               << QStringLiteral(";") << QStringLiteral(":") << QStringLiteral("&")
               << QStringLiteral("emit") << QStringLiteral("connect") << QStringLiteral("SIGNAL")
               << QStringLiteral("|") << QStringLiteral("SLOT") << QStringLiteral("slots")
               << QStringLiteral("signals");
    m_keywordsByFirstCharacter.resize(128);
    for (const QString &keyword : qAsConst(m_keywords))
        m_keywordsByFirstCharacter[keyword.at(0).unicode()] << keyword;
}

QString CssSyntaxHighlighter::matchKeyword(int position, const QString &text) const
{
    if (position < 0 || position >= text.size())
        return QString();
    const ushort first = text.at(position).unicode();
    if (first >= m_keywordsByFirstCharacter.size())
        return QString();
    const QStringRef rest(&text, position, text.size() - position);
    for (const QString &keyword : m_keywordsByFirstCharacter.at(first)) {
        if (rest.startsWith(keyword))
            return keyword;
    }
    return QString();
}

QStringList CssSyntaxHighlighter::keywords() const
{
    return m_keywords;
}

void CssSyntaxHighlighter::highlightBlock(const QString &text)
{
    int state = previousBlockState();
    int start = 0;
    const int length = text.size();
    int position = 0;

    while (position < length) {
        const QChar c = charAt(text, position);
        if (state == InQuote) {
            // A quote closes the text unless a backslash escapes it.
            if (isQuote(c) && charAt(text, position - 1) != QLatin1Char('\\')) {
                setFormat(start, position - start + 1, coloured(Qt::cyan));
                state = Plain;
            }
            ++position;
        } else if (state == InComment) {
            if (c == QLatin1Char('*') && startsAt(text, position, QLatin1String("*/"))) {
                setFormat(start, position - start + 2, coloured(Qt::darkGray));
                position += 2;
                state = Plain;
            } else {
                ++position;
            }
        } else if (c == QLatin1Char('/') && startsAt(text, position, QLatin1String("//"))) {
            setFormat(position, length - position, coloured(Qt::darkGray));
            break;
        } else if (c == QLatin1Char('#')) {
            setFormat(position, length - position, coloured(Qt::green));
            break;
        } else if (isDigitChar(c)) {
            setFormat(position, 1, coloured(Qt::cyan));
            ++position;
        } else if (c == QLatin1Char('/') && startsAt(text, position, QLatin1String("/*"))) {
            start = position;
            state = InComment;
            ++position;
        } else if (isQuote(c)) {
            start = position;
            state = InQuote;
            ++position;
        } else {
            const QString keyword = matchKeyword(position, text);
            if (!keyword.isEmpty()) {
                setFormat(position, keyword.size(), coloured(Qt::white));
                position += keyword.size();
            } else {
                ++position;
            }
        }
    }

    if (state == InComment)
        setFormat(start, length - start, coloured(Qt::darkGray));
    else if (state == InQuote)
        setFormat(start, length - start, coloured(Qt::cyan));
    setCurrentBlockState(state);
}

} // namespace QMWidgets
