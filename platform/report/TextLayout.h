#pragma once

#include "platform/report/PreparedReport.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace vorta::report {

// Text measured in millimetres with the machine's fonts; a missing family falls back
// to whatever the font system substitutes.
struct TextBox {
    QStringList lines;
    double width = 0.0;       // widest line
    double lineHeight = 0.0;  // from one line's top to the next
    double ascent = 0.0;
    double height() const { return lines.size() * lineHeight; }
};

QFont toQFont(const FontSpec& fs);
double textWidthMm(const FontSpec& font, const QString& text);
// Breaks at new lines, and with wrap also at blanks (a word wider than the box
// breaks between characters).
TextBox layoutText(const FontSpec& font, const QString& text, double boxWidthMm, bool wrap);

} // namespace vorta::report

namespace vorta::report {
// Advance of each UTF-16 unit of text in mm (the second unit of a pair gets 0).
QList<double> advancesMm(const FontSpec& font, const QString& text);
} // namespace vorta::report
