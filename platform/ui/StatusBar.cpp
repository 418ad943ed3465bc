#include "platform/ui/StatusBar.h"

#include <QPainter>
#include <QStyleOption>

namespace vorta::ui {

StatusBar::StatusBar(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatusBar::addPanel(const Panel& panel)
{
    m_panels.append(panel);
    update();
}

void StatusBar::setPanelText(int index, const QString& text)
{
    if (index < 0 || index >= m_panels.size())
        return;
    m_panels[index].text = text;
    update();
}

void StatusBar::setPanelWidth(int index, int width)
{
    if (index < 0 || index >= m_panels.size())
        return;
    m_panels[index].width = width;
    update();
}

void StatusBar::setSimpleText(const QString& text)
{
    simpleText = text;
    update();
}

QSize StatusBar::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 6);
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (simplePanel) {
        p.drawText(rect().adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, simpleText);
        return;
    }
    int x = 0;
    for (int i = 0; i < m_panels.size(); ++i) {
        const Panel& panel = m_panels.at(i);
        const int w = i == m_panels.size() - 1 ? std::max(0, width() - x) : panel.width;
        const QRect r(x, 0, w, height());
        p.drawRect(r.adjusted(0, 1, -1, -1));
        p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignVCenter | panel.alignment, panel.text);
        x += w;
    }
}

} // namespace vorta::ui
