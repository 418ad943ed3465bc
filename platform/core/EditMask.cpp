#include "platform/core/EditMask.h"

#include "platform/core/Cp1252.h"

namespace vorta {

namespace {

// The character as code page 1252 reads it; nothing for one outside the code page.
bool inCodePage(QChar c)
{
    return c == QLatin1Char('?') || cp1252Byte(c) != '?';
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isLetter(QChar c)
{
    return inCodePage(c) && c.isLetter();
}

} // namespace

EditMask::EditMask(const QString& mask)
    : m_text(mask)
{
    // Sections: the mask up to the first unescaped ";", the save flag, the blank.
    qsizetype end = 0;
    while (end < mask.size() && mask.at(end) != QLatin1Char(';')) {
        if (mask.at(end) == QLatin1Char('\\'))
            ++end;
        ++end;
    }
    end = std::min(end, mask.size());
    if (end < mask.size()) {
        const qsizetype second = mask.indexOf(QLatin1Char(';'), end + 1);
        const QString save = second < 0 ? mask.mid(end + 1) : mask.mid(end + 1, second - end - 1);
        m_saveLiterals = save != QLatin1String("0");
        if (second >= 0 && second + 1 < mask.size())
            m_blank = mask.at(second + 1);
    }

    Case current = Case::Keep;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = mask.at(i);
        Position p;
        switch (c.unicode()) {
        case '!':
            m_reverse = true;
            continue;
        case '>':
            current = Case::Upper;
            continue;
        case '<':
            if (i + 1 < end && mask.at(i + 1) == QLatin1Char('>')) {
                current = Case::Keep;
                ++i;
            } else {
                current = Case::Lower;
            }
            continue;
        case '\\':
            if (i + 1 >= end)
                continue;
            p.literal = mask.at(++i);
            break;
        case '0': p.kind = Kind::Digit; p.required = true; break;
        case '9': p.kind = Kind::Digit; break;
        case '#': p.kind = Kind::DigitOrSign; break;
        case 'L': p.kind = Kind::Letter; p.required = true; break;
        case 'l': p.kind = Kind::Letter; break;
        case 'A': p.kind = Kind::LetterOrDigit; p.required = true; break;
        case 'a': p.kind = Kind::LetterOrDigit; break;
        case 'C': p.kind = Kind::Any; p.required = true; break;
        case 'c': p.kind = Kind::Any; break;
        case '_': p.literal = QLatin1Char(' '); break;
        default: p.literal = c; break;
        }
        p.letterCase = current;
        if (p.kind != Kind::Literal)
            ++m_editableCount;
        m_positions.push_back(p);
    }
}

bool EditMask::isLiteral(int pos) const
{
    return pos < 0 || pos >= length() || m_positions.at(pos).kind == Kind::Literal;
}

QChar EditMask::literalAt(int pos) const
{
    return isLiteral(pos) && pos >= 0 && pos < length() ? m_positions.at(pos).literal : QChar();
}

bool EditMask::isRequired(int pos) const
{
    return !isLiteral(pos) && m_positions.at(pos).required;
}

bool EditMask::accepts(int pos, QChar c) const
{
    if (isLiteral(pos))
        return false;
    switch (m_positions.at(pos).kind) {
    case Kind::Digit: return isDigit(c);
    case Kind::DigitOrSign: return isDigit(c) || c == QLatin1Char('+') || c == QLatin1Char('-');
    case Kind::Letter: return isLetter(c);
    case Kind::LetterOrDigit: return isLetter(c) || isDigit(c);
    case Kind::Any: return inCodePage(c) && c.unicode() >= 32;
    case Kind::Literal: break;
    }
    return false;
}

QChar EditMask::convertCase(int pos, QChar c) const
{
    if (pos < 0 || pos >= length())
        return c;
    QChar converted = c;
    switch (m_positions.at(pos).letterCase) {
    case Case::Upper: converted = c.toUpper(); break;
    case Case::Lower: converted = c.toLower(); break;
    case Case::Keep: break;
    }
    // A case partner outside the code page (micro sign) keeps the typed letter.
    return inCodePage(converted) ? converted : c;
}

int EditMask::nextEditable(int pos) const
{
    for (int i = std::max(pos, 0); i < length(); ++i)
        if (!isLiteral(i))
            return i;
    return -1;
}

int EditMask::previousEditable(int pos) const
{
    for (int i = std::min(pos, length() - 1); i >= 0; --i)
        if (!isLiteral(i))
            return i;
    return -1;
}

QString EditMask::format(const QString& stored) const
{
    if (!isMasked())
        return stored;
    QString value = stored;
    const int cells = m_saveLiterals ? length() : m_editableCount;
    if (m_reverse && value.size() < cells)
        value = QString(cells - value.size(), QLatin1Char(' ')) + value;
    QString out;
    out.reserve(length());
    qsizetype next = 0;
    for (int pos = 0; pos < length(); ++pos) {
        const Position& p = m_positions.at(pos);
        if (p.kind == Kind::Literal) {
            out += p.literal;
            // A saved literal, or the blank that stood for it, is the value's own.
            if (m_saveLiterals && next < value.size()
                && (value.at(next) == p.literal || (m_reverse && value.at(next) == QLatin1Char(' '))))
                ++next;
            continue;
        }
        const QChar c = next < value.size() ? value.at(next++) : m_blank;
        out += isFilled(c) ? convertCase(pos, c) : m_blank;
    }
    return out;
}

QString EditMask::rawText(const QString& displayed, bool* anyFilled) const
{
    QString out;
    bool filled = false;
    for (int pos = 0; pos < length(); ++pos) {
        const Position& p = m_positions.at(pos);
        if (p.kind == Kind::Literal) {
            if (m_saveLiterals)
                out += p.literal;
            continue;
        }
        const QChar c = pos < displayed.size() ? displayed.at(pos) : m_blank;
        if (isFilled(c)) {
            out += c;
            filled = true;
        } else {
            out += QLatin1Char(' ');
        }
    }
    if (anyFilled)
        *anyFilled = filled;
    return out;
}

QString EditMask::maskedText(const QString& displayed) const
{
    if (!isMasked())
        return displayed;
    return rawText(displayed, nullptr);
}

QString EditMask::strip(const QString& displayed) const
{
    if (!isMasked())
        return displayed;
    bool filled = false;
    QString out = rawText(displayed, &filled);
    if (!filled)
        return QString();
    if (m_reverse) {
        qsizetype i = 0;
        while (i < out.size() && out.at(i) == QLatin1Char(' '))
            ++i;
        out.remove(0, i);
    } else {
        qsizetype n = out.size();
        while (n > 0 && out.at(n - 1) == QLatin1Char(' '))
            --n;
        out.truncate(n);
    }
    return out;
}

bool EditMask::isComplete(const QString& displayed) const
{
    for (int pos = 0; pos < length(); ++pos) {
        const Position& p = m_positions.at(pos);
        const QChar c = pos < displayed.size() ? displayed.at(pos) : m_blank;
        if (p.kind == Kind::Literal) {
            if (c != p.literal)
                return false;
            continue;
        }
        if (!isFilled(c)) {
            if (p.required)
                return false;
        } else if (!accepts(pos, c)) {
            return false;
        }
    }
    return true;
}

} // namespace vorta
