#include "uwBarCode.h"

#include "platform/core/Conversions.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace {

// Bar, space, bar, space, bar, space widths of the Code 128 values 0 to 105; 106 is stop.
constexpr std::array<const char*, 107> kCode128 = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

constexpr std::array<const char*, 10> kI25 = {
    "11331", "31113", "13113", "33111", "11313", "31311", "13311", "11133", "31131", "13131"};

constexpr int kStartA = 103;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kCodeB = 100;
constexpr int kStop = 106;

} // namespace

wBarCode::wBarCode(vorta::Component* owner)
    : vorta::Component(owner)
{
    rebuild();
}

QString wBarCode::code128Pattern(int value)
{
    return QString::fromLatin1(kCode128.at(static_cast<size_t>(value)));
}

void wBarCode::setText(const QString& text)
{
    m_text = text;
    rebuild();
}

void wBarCode::setCodeBarType(TwCodeBarType type)
{
    m_type = type;
    rebuild();
}

void wBarCode::setCode128Type(TwCode128CodeSubset subset)
{
    m_subset = subset;
    rebuild();
}

void wBarCode::setDVer(bool dver)
{
    m_dver = dver;
    rebuild();
}

void wBarCode::setHeight(int height)
{
    if (height != 0) {
        m_height = height;
        return;
    }
    if (m_subset != TwCode128CodeSubset::csCodeC)
        return;
    // Round halves to the even neighbour, as the class library's Round does.
    const double modules = std::nearbyint((m_text.size() + 1) * 5.5) + 35;
    m_height = static_cast<int>(modules) * Module;
}

int wBarCode::Width() const
{
    int sum = 0;
    for (QChar c : m_widths)
        sum += c.digitValue();
    return sum * Module;
}

void wBarCode::rebuild()
{
    m_values.clear();
    m_check = 0;
    m_widths.clear();
    if (m_type == TwCodeBarType::cb128)
        build128();
    else
        buildI25();
}

void wBarCode::build128()
{
    switch (m_subset) {
    case TwCode128CodeSubset::csCodeA: m_values.push_back(kStartA); break;
    case TwCode128CodeSubset::csCodeB: m_values.push_back(kStartB); break;
    case TwCode128CodeSubset::csCodeC:
        m_values.push_back(kStartC);
        for (qsizetype i = 0; i + 1 < m_text.size(); i += 2)
            m_values.push_back(vorta::StrToInt(m_text.mid(i, 2)));
        if (m_text.size() % 2 == 1) {
            // Subset C holds only pairs: a lone last digit goes through subset B, where
            // a digit character d has the value 16 + d, so the symbol reads back as given.
            const int digit = vorta::StrToInt(m_text.right(1));
            m_values.push_back(kCodeB);
            m_values.push_back(16 + digit);
        }
        break;
    }
    int sum = m_values.front();
    for (size_t pos = 1; pos < m_values.size(); ++pos)
        sum += m_values[pos] * static_cast<int>(pos);
    m_check = sum % 103;
    m_values.push_back(m_check);
    m_values.push_back(kStop);
    for (int v : m_values)
        m_widths += code128Pattern(v);
}

void wBarCode::buildI25()
{
    for (qsizetype i = 0; i < m_text.size(); ++i)
        m_values.push_back(vorta::StrToInt(m_text.mid(i, 1)));
    const size_t n = m_values.size();
    int odd = 0;
    int even = 0;
    for (size_t pos = 1; pos <= n; ++pos) {
        if (pos % 2 == 1)
            odd += m_values[pos - 1];
        else if (pos < n)
            even += m_values[pos - 1];
    }
    m_check = (3 * odd + even) % 10;
    if (m_dver)
        m_values.push_back(m_check);
    if (m_values.size() % 2 == 1)
        m_values.push_back(0);
    m_widths = QStringLiteral("1111");
    for (size_t i = 0; i + 1 < m_values.size(); i += 2) {
        const char* bars = kI25.at(static_cast<size_t>(m_values[i]));
        const char* spaces = kI25.at(static_cast<size_t>(m_values[i + 1]));
        for (int k = 0; k < 5; ++k) {
            m_widths += QLatin1Char(bars[k]);
            m_widths += QLatin1Char(spaces[k]);
        }
    }
    m_widths += QStringLiteral("311");
}

void wBarCode::MakeBarCode()
{
    if (OutputType == TwOutputType::oCanvas && !Canvas)
        return;
    int offset = 0;
    bool bar = true;
    for (QChar c : m_widths) {
        const int w = c.digitValue() * Module;
        if (bar)
            drawBar(offset, w);
        offset += w;
        bar = !bar;
    }
}

void wBarCode::drawBar(int offset, int width)
{
    const int x = OrdX + offset;
    if (OutputType == TwOutputType::oCanvas) {
        Canvas->fillRect(x, OrdY, width, m_height, Qt::black);
        return;
    }
    const QChar esc(27);
    sOutPut += esc + QStringLiteral("*p%1y%2X").arg(OrdY).arg(x);
    sOutPut += esc + QStringLiteral("*c%1a%2b0P").arg(width).arg(m_height);
}
