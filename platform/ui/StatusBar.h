#pragma once

#include <QList>
#include <QString>
#include <QWidget>

namespace vorta::ui {

// A status bar of fixed-width panels; the last panel takes what is left.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    struct Panel {
        QString text;
        int width = 50;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    explicit StatusBar(QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(m_panels.size()); }
    const Panel& panel(int index) const { return m_panels.at(index); }
    void addPanel(const Panel& panel);
    void setPanelText(int index, const QString& text);
    void setPanelWidth(int index, int width);
    // Single-panel mode text (used when SimplePanel is on).
    bool simplePanel = false;
    QString simpleText;
    void setSimpleText(const QString& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Panel> m_panels;
};

} // namespace vorta::ui
