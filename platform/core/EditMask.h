#pragma once

#include <QChar>
#include <QString>
#include <QVector>

namespace vorta {

// The class library's edit mask, "<mask>;<save literals>;<blank>", as one converter
// for fields, widgets, grids and reports ("!99.999-999;0; ", "ll-999999/l-9;0;_").
//
// Mask characters: 0 digit, 9 optional digit, # optional digit or sign, L letter,
// l optional letter, A letter or digit, a optional letter or digit, C any character,
// c optional any character; > upper case and < lower case for what follows, <> case
// kept; \ takes the next character as a literal; _ is a blank literal; ! puts empty
// optional positions in front (a short value is aligned right); every other
// character is a literal. The second section "0" keeps literals out of the stored
// value (any other text, or none, keeps them); the third gives the character that
// shows an empty position ("_" when missing). Letters are the letters of code page
// 1252; characters outside it are refused.
class EditMask {
public:
    EditMask() = default;
    explicit EditMask(const QString& mask);

    bool isMasked() const { return !m_positions.isEmpty(); }
    const QString& maskText() const { return m_text; }
    bool saveLiterals() const { return m_saveLiterals; }
    QChar blank() const { return m_blank; }
    bool reversed() const { return m_reverse; }

    // Display positions.
    int length() const { return int(m_positions.size()); }
    bool isLiteral(int pos) const;
    QChar literalAt(int pos) const;
    bool isRequired(int pos) const;
    // Whether c may stand at the editable position pos.
    bool accepts(int pos, QChar c) const;
    // c with the case the mask asks for at pos.
    QChar convertCase(int pos, QChar c) const;
    // Next and previous editable positions from pos (pos itself included); -1 when none.
    int nextEditable(int pos) const;
    int previousEditable(int pos) const;

    // The display text of a stored value: its characters fill the editable positions
    // in order (with saved literals, a literal of the value at a literal position is
    // passed over), blanks and missing characters show the blank character, extra
    // characters are dropped.
    QString format(const QString& stored) const;
    // The value to store from a display text: literals dropped unless saved, empty
    // positions as blanks, the blanks of the empty side (the end, or the front with
    // "!") trimmed; empty when no position is filled.
    QString strip(const QString& displayed) const;
    // The class library's Text of a masked edit: as strip, but nothing is trimmed and
    // a blank display keeps its blanks and saved literals ("  /  /    ").
    QString maskedText(const QString& displayed) const;
    // Every required position filled and every filled one fits the mask.
    bool isComplete(const QString& displayed) const;
    // The display of an empty value.
    QString emptyText() const { return format(QString()); }

private:
    enum class Kind { Literal, Digit, DigitOrSign, Letter, LetterOrDigit, Any };
    enum class Case { Keep, Upper, Lower };
    struct Position {
        Kind kind = Kind::Literal;
        bool required = false;
        Case letterCase = Case::Keep;
        QChar literal;
    };

    bool isFilled(QChar c) const { return c != m_blank && c != QLatin1Char(' '); }
    QString rawText(const QString& displayed, bool* anyFilled) const;

    QString m_text;
    QVector<Position> m_positions;
    int m_editableCount = 0;
    bool m_saveLiterals = true;
    bool m_reverse = false;
    QChar m_blank = QLatin1Char('_');
};

} // namespace vorta
