#pragma once

#include <QStringList>
#include <QSyntaxHighlighter>
#include <QVector>

namespace QMWidgets {

// Colours style-sheet (and C++-like) text: keywords and operators white,
// digits and quoted texts cyan, comments dark grey, "#" to the line end green.
// Block states: -1 plain, 0 inside a block comment, 1 inside a quoted text.
class CssSyntaxHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit CssSyntaxHighlighter(QTextDocument *document);

    // The first keyword, in list order, that the text holds at the position
    // (no word boundaries); "" when none or the position is out of range.
    QString matchKeyword(int position, const QString &text) const;

    QStringList keywords() const;

protected:
    void highlightBlock(const QString &text) override;

private:
    QStringList m_keywords;
    // The keywords by their first character (all are ASCII), each list in
    // keyword order: a position is compared only with the keywords that can
    // start there.
    QVector<QStringList> m_keywordsByFirstCharacter;
};

} // namespace QMWidgets
