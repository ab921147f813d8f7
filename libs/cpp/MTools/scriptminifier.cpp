#include "scriptminifier.h"

namespace {

const int Eof = -1;

bool isAlphanum(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')
        || c == '_' || c == '$' || c == '\\' || c > 126;
}

bool isQuote(int c)
{
    return c == '"' || c == '\'' || c == '`';
}

bool isOperatorPair(int c)
{
    return c == '+' || c == '-' || c == '*' || c == '/';
}

// One minification: a one-pass scanner with one character of look-ahead.
class Minifier
{
public:
    explicit Minifier(const QString &input) : m_in(input) {}

    QString run()
    {
        // A UTF-8 byte-order mark read as Latin-1, or a decoded one.
        if (m_in.startsWith(QChar(0xFEFF)))
            m_pos = 1;
        else if (m_in.startsWith(QLatin1String("\xEF\xBB\xBF")))
            m_pos = 3;
        m_a = '\n';
        action(3);
        while (m_a != Eof) {
            if (m_a == ' ') {
                action(isAlphanum(m_b) ? 1 : 2);
            } else if (m_a == '\n') {
                switch (m_b) {
                case '{': case '[': case '(': case '+': case '-': case '!': case '~':
                    action(1);
                    break;
                case ' ':
                    action(3);
                    break;
                default:
                    action(isAlphanum(m_b) ? 1 : 2);
                }
            } else if (m_b == ' ') {
                action(isAlphanum(m_a) ? 1 : 3);
            } else if (m_b == '\n') {
                switch (m_a) {
                case '}': case ']': case ')': case '+': case '-': case '"': case '\'': case '`':
                    action(1);
                    break;
                default:
                    action(isAlphanum(m_a) ? 1 : 3);
                }
            } else {
                action(1);
            }
        }
        return m_out;
    }

private:
    void put(int c)
    {
        if (c != Eof)
            m_out += QChar(ushort(c));
    }

    int get()
    {
        int c = m_lookahead;
        m_lookahead = Eof;
        if (c == Eof) {
            if (m_pos >= m_in.size())
                return Eof;
            c = m_in.at(m_pos++).unicode();
        }
        if (c >= ' ' || c == '\n' || c == Eof)
            return c;
        if (c == '\r')
            return '\n';
        return ' ';
    }

    int peek()
    {
        m_lookahead = get();
        return m_lookahead;
    }

    // The next character with comments skipped.
    int next()
    {
        int c = get();
        if (c == '/') {
            const int p = peek();
            if (p == '/') {
                do {
                    c = get();
                } while (c > '\n');
            } else if (p == '*') {
                get();
                c = ' ';
                for (;;) {
                    const int d = get();
                    if (d == Eof) {
                        c = Eof; // unterminated comment ends the input
                        break;
                    }
                    if (d == '*' && peek() == '/') {
                        get();
                        break;
                    }
                }
            }
        }
        m_secondLast = m_last;
        m_last = c;
        return c;
    }

    // Copies a literal up to, not including, the closing character, which is
    // returned; a backslash takes the character after it along. Eof when the
    // literal is never closed.
    int copyUntil(int close)
    {
        for (;;) {
            const int c = get();
            if (c == close || c == Eof)
                return c;
            put(c);
            if (c == '\\') {
                const int escaped = get();
                if (escaped == Eof)
                    return Eof;
                put(escaped);
            }
        }
    }

    void action(int d)
    {
        if (d <= 1) {
            put(m_a);
            if ((m_secondLast == '\n' || m_secondLast == ' ') && isOperatorPair(m_a)
                && isOperatorPair(m_b))
                put(m_secondLast);
        }
        if (d <= 2) {
            m_a = m_b;
            if (isQuote(m_a)) {
                put(m_a);
                m_a = copyUntil(m_a);
            }
        }
        if (d <= 3) {
            m_b = next();
            if (m_b == '/' && startsRegExp(m_a)) {
                put(m_a);
                if (m_a == '/' || m_a == '*')
                    put(' ');
                put(m_b);
                m_a = copyRegExp();
                if (m_a == Eof)
                    return;
                m_b = next();
            }
        }
    }

    static bool startsRegExp(int c)
    {
        switch (c) {
        case '(': case ',': case '=': case ':': case '[': case '!': case '&': case '|':
        case '?': case '+': case '-': case '~': case '*': case '/': case '{': case '\n':
            return true;
        default:
            return false;
        }
    }

    // Copies a regular-expression body; returns its closing "/" or Eof.
    int copyRegExp()
    {
        for (;;) {
            int c = get();
            if (c == '[') {
                put(c);
                c = copyUntil(']');
                if (c == Eof)
                    return Eof;
                put(c);
                continue;
            }
            if (c == '/' || c == Eof)
                return c;
            put(c);
            if (c == '\\') {
                c = get();
                if (c == Eof)
                    return Eof;
                put(c);
            }
        }
    }

    const QString m_in;
    int m_pos = 0;
    QString m_out;
    int m_a = 0;
    int m_b = 0;
    int m_lookahead = Eof;
    int m_last = Eof;
    int m_secondLast = Eof;
};

} // namespace

namespace MTools {

QString minifyScript(const QString &script)
{
    return Minifier(script).run();
}

} // namespace MTools
