#include "platform/report/TextLayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace vorta::report {

namespace {

// Fonts are measured at a fine resolution so rounding to whole device pixels does
// not show in millimetres.
constexpr double kMeasureDpi = 1200.0;
constexpr double kMmPerPx = 25.4 / kMeasureDpi;

const QImage& measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dpm = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    return device;
}

// Resolving a font is the slow part of measuring; a report uses a handful of them.
const QFontMetricsF& metricsFor(const FontSpec& fs)
{
    static QHash<QString, QFontMetricsF> cache;
    const QString key = QStringLiteral("%1|%2|%3%4%5")
                            .arg(fs.family)
                            .arg(fs.pointSize)
                            .arg(int(fs.bold))
                            .arg(int(fs.italic))
                            .arg(int(fs.underline));
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 256)
            cache.clear();
        it = cache.insert(key, QFontMetricsF(toQFont(fs), &measureDevice()));
    }
    return it.value();
}

} // namespace

QFont toQFont(const FontSpec& fs)
{
    QFont font(fs.family.isEmpty() ? QStringLiteral("DejaVu Sans") : fs.family);
    font.setPointSizeF(fs.pointSize > 0 ? fs.pointSize : 10.0);
    font.setBold(fs.bold);
    font.setItalic(fs.italic);
    font.setUnderline(fs.underline);
    // No ligatures: a PDF's "fi" glyph would not be found by a search for "fi". Latin
    // text needs no shaping, so widths are measured and drawn the same way.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

double textWidthMm(const FontSpec& font, const QString& text)
{
    return metricsFor(font).horizontalAdvance(text) * kMmPerPx;
}

TextBox layoutText(const FontSpec& font, const QString& text, double boxWidthMm, bool wrap)
{
    const QFontMetricsF& fm = metricsFor(font);
    TextBox box;
    box.lineHeight = fm.lineSpacing() * kMmPerPx;
    box.ascent = fm.ascent() * kMmPerPx;
    const double limit = boxWidthMm / kMmPerPx;
    auto width = [&](const QString& s) { return fm.horizontalAdvance(s); };

    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (QString paragraph : paragraphs) {
        if (paragraph.endsWith(QLatin1Char('\r')))
            paragraph.chop(1);
        if (!wrap || limit <= 0 || width(paragraph) <= limit) {
            box.lines << paragraph;
            continue;
        }
        QString line;
        // Blanks that lead a paragraph are its indent and print; the blanks at a break
        // do not start the next line.
        bool fresh = false;
        const QStringList words = paragraph.split(QLatin1Char(' '));
        for (qsizetype w = 0; w < words.size(); ++w) {
            const QString& word = words[w];
            const QString candidate = w == 0 || (fresh && line.isEmpty()) ? word : line + QLatin1Char(' ') + word;
            if (width(candidate) <= limit) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                box.lines << line;
            fresh = true;
            line = word;
            // A word wider than the box breaks between characters.
            while (width(line) > limit && line.size() > 1) {
                int n = 1;
                while (n < line.size() && width(line.left(n + 1)) <= limit)
                    ++n;
                box.lines << line.left(n);
                line = line.mid(n);
            }
        }
        box.lines << line;
    }
    for (const QString& l : box.lines)
        box.width = std::max(box.width, width(l) * kMmPerPx);
    return box;
}

} // namespace vorta::report

namespace vorta::report {

QList<double> advancesMm(const FontSpec& font, const QString& text)
{
    const QFontMetricsF& fm = metricsFor(font);
    QList<double> out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            out << fm.horizontalAdvance(text.mid(i, 2)) * kMmPerPx << 0.0;
            ++i;
            continue;
        }
        out << fm.horizontalAdvance(text[i]) * kMmPerPx;
    }
    return out;
}

} // namespace vorta::report
