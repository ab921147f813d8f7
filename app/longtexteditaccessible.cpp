#include "longtexteditaccessible.h"

#include "longtextedit.h"

namespace {

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("LongTextEdit") && object && object->isWidgetType())
        return new LongTextEditAccessible(static_cast<LongTextEdit *>(object));
    return nullptr;
}

} // namespace

LongTextEditAccessible::LongTextEditAccessible(LongTextEdit *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

void LongTextEditAccessible::install()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(createInterface);
        installed = true;
    }
}

LongTextEdit *LongTextEditAccessible::editor() const
{
    return static_cast<LongTextEdit *>(widget());
}

void *LongTextEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface && !editor()->isReadOnly())
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State LongTextEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.selectableText = true;
    state.readOnly = editor()->isReadOnly();
    state.editable = !editor()->isReadOnly();
    return state;
}

QString LongTextEditAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return editor()->toPlainText();
    return QAccessibleWidget::text(type);
}

void LongTextEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const LongTextEdit::Cursor cursor = editor()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int LongTextEditAccessible::selectionCount() const
{
    return editor()->hasSelectedText() ? 1 : 0;
}

void LongTextEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LongTextEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        editor()->setCursorPosition(editor()->cursorPosition());
}

void LongTextEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    editor()->setCursorPosition(startOffset);
    editor()->setCursorPosition(endOffset, true);
}

int LongTextEditAccessible::cursorPosition() const
{
    return editor()->cursorPosition();
}

void LongTextEditAccessible::setCursorPosition(int position)
{
    editor()->setCursorPosition(position);
}

QString LongTextEditAccessible::text(int startOffset, int endOffset) const
{
    return editor()->toPlainText().mid(startOffset, endOffset - startOffset);
}

int LongTextEditAccessible::characterCount() const
{
    return editor()->toPlainText().size();
}

QRect LongTextEditAccessible::characterRect(int offset) const
{
    const QRect start = editor()->cursorRect(offset);
    const QRect end = editor()->cursorRect(offset + 1);
    const int width = end.top() == start.top() ? qMax(1, end.left() - start.left()) : 1;
    const QRect local(start.topLeft(), QSize(width, start.height()));
    return QRect(editor()->viewport()->mapToGlobal(local.topLeft()), local.size());
}

int LongTextEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return editor()->cursorPositionAt(editor()->viewport()->mapFromGlobal(point));
}

void LongTextEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex)
    editor()->setCursorPosition(startIndex);
}

QString LongTextEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // Plain text: one run without attributes.
    Q_UNUSED(offset)
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void LongTextEditAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void LongTextEditAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void LongTextEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (editor()->isReadOnly())
        return;
    editor()->setCursorPosition(startOffset);
    editor()->setCursorPosition(endOffset, true);
    editor()->insertPlainText(text);
}
