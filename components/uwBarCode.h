#pragma once

// Barcode component: Code 128 (subset C) and Interleaved 2 of 5 from a digit string,
// drawn as black rectangles on a painter or as PCL commands appended to a text.

#include "platform/core/Component.h"

#include <QString>

#include <vector>

class QPainter;

enum class TwCodeBarType { cb128, cbI25 };
enum class TwCode128CodeSubset { csCodeA, csCodeB, csCodeC };
enum class TwOutputType { oCanvas, oPCL };

class wBarCode : public vorta::Component {
public:
    explicit wBarCode(vorta::Component* owner = nullptr);

    QString Text() const { return m_text; }
    void setText(const QString& text);
    TwCodeBarType CodeBarType() const { return m_type; }
    void setCodeBarType(TwCodeBarType type);
    TwCode128CodeSubset Code128Type() const { return m_subset; }
    void setCode128Type(TwCode128CodeSubset subset);
    bool DVer() const { return m_dver; }
    void setDVer(bool dver);

    int Module = 1;
    int OrdX = 0;
    int OrdY = 0;
    int Height() const { return m_height; }
    // Zero with subset C sets the height to the subset-C symbol's width; zero with
    // another subset leaves it as it was.
    void setHeight(int height);
    // Sum of the element widths times Module.
    int Width() const;
    TwOutputType OutputType = TwOutputType::oCanvas;
    QString sOutPut;
    // The painter drawn on with oCanvas; without one MakeBarCode draws nothing.
    QPainter* Canvas = nullptr;

    void MakeBarCode();

    // The symbol as code values (start, data, check, stop) and as element widths,
    // one digit per bar or space, bar first.
    const std::vector<int>& codeValues() const { return m_values; }
    int checkValue() const { return m_check; }
    const QString& widths() const { return m_widths; }

    // The element-width pattern of a Code 128 value (0 to 106).
    static QString code128Pattern(int value);

private:
    void rebuild();
    void build128();
    void buildI25();
    void drawBar(int offset, int width);

    QString m_text;
    TwCodeBarType m_type = TwCodeBarType::cb128;
    TwCode128CodeSubset m_subset = TwCode128CodeSubset::csCodeC;
    bool m_dver = false;
    int m_height = 0;
    std::vector<int> m_values;
    int m_check = 0;
    QString m_widths;
};
