#pragma once

#include "platform/core/EditMask.h"

#include <QLineEdit>

namespace vorta::ui {

// A line edit driven by an edit mask, as the class library's mask edit: the text
// always shows every position, typing overwrites the next editable position and
// passes over literals, characters the position refuses are ignored, Backspace and
// Delete empty positions. Text that reaches the line edit by other ways (its context
// menu, a drop, an input method) is typed into the mask the same way. Without a mask
// it is a plain line edit. Every change the user makes, whichever way, signals edited().
class MaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedEdit(QWidget* parent = nullptr);

    const EditMask& mask() const { return m_mask; }
    QString editMask() const { return m_mask.maskText(); }
    // Keeps the current value under the new mask.
    void setEditMask(const QString& mask);

    // The stored form of the text (EditMask::strip) and its inverse.
    QString value() const;
    void setValue(const QString& stored);
    // The class library's Text of the edit (EditMask::maskedText).
    QString maskedText() const;
    bool isComplete() const { return m_mask.isComplete(text()); }

    // Types the characters at the cursor as keys would.
    void typeText(const QString& characters);

signals:
    // The user changed the text: a key, Backspace or Delete, paste, cut, a drop, undo,
    // the context menu. Changes made by the program do not signal it.
    void edited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void maskedKeyPress(QKeyEvent* event);
    void typeChar(QChar c);
    void clearPositions(int from, int to);
    void setTextKeepingCursor(const QString& text, int cursor);
    void reconcile(const QString& changed);
    void maskedKey(QKeyEvent* event);
    void undo();

    EditMask m_mask;
    QString m_shown; // the text as this edit last laid it out
    bool m_laying = false;
    bool m_inKey = false;
    // Under a mask the line edit keeps no history of its own: one level, as the class
    // library's edit has it (a second undo brings the change back).
    QString m_undoText;
};

} // namespace vorta::ui
