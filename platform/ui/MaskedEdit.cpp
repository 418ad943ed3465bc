#include "platform/ui/MaskedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace vorta::ui {

MaskedEdit::MaskedEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void MaskedEdit::setEditMask(const QString& mask)
{
    const QString current = value();
    m_mask = EditMask(mask);
    if (m_mask.isMasked())
        setMaxLength(m_mask.length());
    else
        setMaxLength(32767);
    setValue(current);
}

QString MaskedEdit::value() const
{
    return m_mask.strip(text());
}

void MaskedEdit::setValue(const QString& stored)
{
    setText(m_mask.format(stored));
    setCursorPosition(m_mask.isMasked() ? std::max(0, m_mask.nextEditable(0)) : int(text().size()));
}

QString MaskedEdit::maskedText() const
{
    return m_mask.maskedText(text());
}

void MaskedEdit::setTextKeepingCursor(const QString& newText, int cursor)
{
    setText(newText);
    setCursorPosition(std::clamp(cursor, 0, int(newText.size())));
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
        QLineEdit::keyPressEvent(event);
        return;
    }
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
