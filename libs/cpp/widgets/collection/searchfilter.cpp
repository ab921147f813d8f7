#include "searchfilter.h"

#include "defaultlook.h"
#include "stylehelpers.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace QMWidgets {

SearchFilter::SearchFilter(QWidget *parent)
    : QLineEdit(parent)
{
    setNameAndToolTip(this, QStringLiteral("SearchFilter"), tr("Search Filter"));

    clearButton = new QPushButton;
    clearButton->hide();
    clearButton->setCursor(Qt::ArrowCursor);
    clearButton->setMouseTracking(true);
    clearButton->setFlat(true);
    clearButton->setFixedSize(16, 16);
    setNameAndToolTip(clearButton, QStringLiteral("SearchFilterDel"), tr("Clear"));
    giveDefaultLook(clearButton, collectionIcon(QStringLiteral("clear")), tr("Clear"));
    giveDefaultLabel(this, tr("Search Filter"));

    connect(clearButton, SIGNAL(clicked()), this, SLOT(slotClearClicked()));
    connect(this, SIGNAL(textChanged(QString)), this, SLOT(slotTextChanged(QString)));

    QAction *close = new QAction(QStringLiteral("Close"), this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    // Only the focused field clears: a window with two fields would otherwise
    // hold an ambiguous shortcut that clears neither.
    close->setShortcutContext(Qt::WidgetShortcut);
    connect(close, SIGNAL(triggered()), this, SLOT(slotClearClicked()));
    addAction(close);

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addWidget(clearButton);
    setLayout(layout);
}

// The button follows the text directly: deciding from its on-screen
// visibility would show it for an empty text while the field is hidden.
void SearchFilter::slotTextChanged(QString text)
{
    clearButton->setVisible(!text.isEmpty());
}

void SearchFilter::slotClearClicked()
{
    clear();
    clearButton->hide();
}

void SearchFilter::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!text().isEmpty())
        return;

    QPainter painter(this);
    if (!hasFocus()) {
        // A hint, drawn as the field draws its placeholder text.
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().translated(5, 0), Qt::AlignVCenter | Qt::AlignLeft, tr("Search:"));
    }
    const int w = width();
    const int h = height();
    // The program's own picture when it is linked in, else the collection's.
    QPixmap picture(QStringLiteral(":/pix/search.png"));
    if (picture.isNull())
        picture = collectionIcon(QStringLiteral("search")).pixmap(h, h);
    const QPixmap icon = picture.scaled(h, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawPixmap(QRect(w - h, 0, h, h), icon);
}

} // namespace QMWidgets
