#include "platform/ui/MaskedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <utility>

namespace vorta::ui {

MaskedEdit::MaskedEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &MaskedEdit::reconcile);
    // The line edit's own user changes (its context menu, a drop, its undo); keys are
    // signalled once by keyPressEvent.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!m_inKey)
            emit edited();
    });
}

void MaskedEdit::setEditMask(const QString& mask)
{
    const QString current = value();
    m_mask = EditMask(mask);
    // No cut by length under a mask: what comes in whole is laid out by reconcile.
    setMaxLength(32767);
    setValue(current);
}

QString MaskedEdit::value() const
{
    return m_mask.strip(text());
}

void MaskedEdit::setValue(const QString& stored)
{
    const QString shown = m_mask.format(stored);
    m_undoText = QString();
    setTextKeepingCursor(shown, m_mask.isMasked() ? std::max(0, m_mask.nextEditable(0)) : int(shown.size()));
}

QString MaskedEdit::maskedText() const
{
    return m_mask.maskedText(text());
}

void MaskedEdit::setTextKeepingCursor(const QString& newText, int cursor)
{
    m_shown = newText;
    const bool wasLaying = std::exchange(m_laying, true);
    setText(newText);
    m_laying = wasLaying;
    setCursorPosition(std::clamp(cursor, 0, int(newText.size())));
}

void MaskedEdit::reconcile(const QString& changed)
{
    if (m_laying || !m_mask.isMasked() || changed == m_shown)
        return;
    // The line edit leaves its cursor at the end of what changed: the text after it is
    // the old text's end, and the text before the change is what both begin with. The
    // old positions in between are emptied and the new characters typed from there.
    const QString before = m_shown.size() == m_mask.length() ? m_shown : m_mask.emptyText();
    const qsizetype cursor = std::clamp<qsizetype>(cursorPosition(), 0, changed.size());
    qsizetype tail = 0;
    while (tail < changed.size() - cursor && tail < before.size()
           && before.at(before.size() - 1 - tail) == changed.at(changed.size() - 1 - tail))
        ++tail;
    qsizetype head = 0;
    while (head < before.size() - tail && head < changed.size() - tail && before.at(head) == changed.at(head))
        ++head;
    const QString typed = changed.mid(head, changed.size() - tail - head);
    if (!m_inKey)
        m_undoText = before;
    QString t = before;
    for (qsizetype i = head; i < before.size() - tail; ++i)
        if (!m_mask.isLiteral(int(i)))
            t[i] = m_mask.blank();
    setTextKeepingCursor(t, int(head));
    for (const QChar c : typed)
        typeChar(c);
}

void MaskedEdit::clearPositions(int from, int to)
{
    QString t = text();
    for (int i = from; i < to && i < t.size(); ++i)
        if (!m_mask.isLiteral(i))
            t[i] = m_mask.blank();
    setTextKeepingCursor(t, from);
}

void MaskedEdit::typeChar(QChar c)
{
    if (hasSelectedText()) {
        const int start = selectionStart();
        clearPositions(start, start + int(selectedText().size()));
    }
    const int pos = m_mask.nextEditable(cursorPosition());
    if (pos < 0 || !m_mask.accepts(pos, c))
        return;
    QString t = text();
    if (t.size() < m_mask.length())
        t = m_mask.format(m_mask.strip(t));
    t[pos] = m_mask.convertCase(pos, c);
    const int after = m_mask.nextEditable(pos + 1);
    setTextKeepingCursor(t, after < 0 ? m_mask.length() : after);
}

void MaskedEdit::typeText(const QString& characters)
{
    if (!m_mask.isMasked()) {
        insert(characters);
        return;
    }
    for (const QChar c : characters)
        typeChar(c);
}

void MaskedEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (m_mask.isMasked() && text().size() != m_mask.length())
        setValue(value());
}

void MaskedEdit::keyPressEvent(QKeyEvent* event)
{
    if (!m_mask.isMasked() || isReadOnly()) {
        const QString before = text();
        const bool wasInKey = std::exchange(m_inKey, true);
        QLineEdit::keyPressEvent(event);
        m_inKey = wasInKey;
        if (text() != before)
            emit edited();
        return;
    }
    const QString before = text();
    const bool wasInKey = std::exchange(m_inKey, true);
    maskedKey(event);
    m_inKey = wasInKey;
    if (text() != before) {
        if (!(event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)))
            m_undoText = before;
        emit edited();
    }
}

void MaskedEdit::undo()
{
    if (m_undoText.isNull())
        return;
    const QString current = text();
    setTextKeepingCursor(m_undoText, int(m_undoText.size()));
    m_undoText = current;
}

void MaskedEdit::maskedKey(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undo();
        return;
    }
    // The line edit tells of a user's edit only for its own typing; a key laid out
    // under the mask is just as much the user's.
    const QString antes = text();
    maskedKeyPress(event);
    if (text() != antes)
        emit textEdited(text());
}

void MaskedEdit::maskedKeyPress(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        typeText(QApplication::clipboard()->text());
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        copy();
        if (hasSelectedText()) {
            const int start = selectionStart();
            clearPositions(start, start + int(selectedText().size()));
        }
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace: {
        if (hasSelectedText()) {
            const int start = selectionStart();
            clearPositions(start, start + int(selectedText().size()));
            return;
        }
        const int pos = m_mask.previousEditable(cursorPosition() - 1);
        if (pos >= 0)
            clearPositions(pos, pos + 1);
        return;
    }
    case Qt::Key_Delete: {
        if (hasSelectedText()) {
            const int start = selectionStart();
            clearPositions(start, start + int(selectedText().size()));
            return;
        }
        const int cursor = cursorPosition();
        const int pos = m_mask.nextEditable(cursor);
        if (pos >= 0) {
            clearPositions(pos, pos + 1);
            setCursorPosition(cursor);
        }
        return;
    }
    default:
        break;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).unicode() >= 32 && typed.at(0).unicode() != 127
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable) {
        typeText(typed);
        return;
    }
    // Movement, selection, copy, Enter and the rest as a line edit has them.
    QLineEdit::keyPressEvent(event);
}

} // namespace vorta::ui
