#include "platform/report/ReportPreview.h"
#include "platform/core/QtGuard.h"

#include <functional>

#include "platform/report/PageRenderer.h"
#include "platform/report/Report.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vorta::report {

namespace {
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 400;
constexpr int kZoomStep = 25;
}

ReportPreview::ReportPreview(Report& report, Component* owner)
    : ui::Form(owner)
    , m_report(report)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setCaption(report.title.isEmpty() ? QStringLiteral("Visualização") : report.title);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(button(QStringLiteral("btFirst"), QStringLiteral("|<")));
    bar->addWidget(button(QStringLiteral("btPrior"), QStringLiteral("<")));
    bar->addWidget(button(QStringLiteral("btNext"), QStringLiteral(">")));
    bar->addWidget(button(QStringLiteral("btLast"), QStringLiteral(">|")));
    bar->addWidget(button(QStringLiteral("btZoomOut"), QStringLiteral("-")));
    bar->addWidget(button(QStringLiteral("btZoomIn"), QStringLiteral("+")));
    bar->addWidget(button(QStringLiteral("btPrint"), QStringLiteral("&Imprimir")));
    bar->addWidget(button(QStringLiteral("btSetup"), QStringLiteral("&Configurar")));
    bar->addWidget(button(QStringLiteral("btClose"), QStringLiteral("&Fechar")));
    bar->addStretch();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lbStatus"));
    bar->addWidget(m_status);
    layout->addLayout(bar);
    m_scroll = new QScrollArea(this);
    m_view = new QLabel;
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll);

    auto on = [this](const char* name, std::function<void()> action) {
        connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this,
                [action = std::move(action)] { guardQt(action); });
    };
    on("btFirst", [this] { firstPage(); });
    on("btPrior", [this] { priorPage(); });
    on("btNext", [this] { nextPage(); });
    on("btLast", [this] { lastPage(); });
    on("btZoomIn", [this] { setZoom(m_zoom + kZoomStep); });
    on("btZoomOut", [this] { setZoom(m_zoom - kZoomStep); });
    on("btPrint", [this] { printReport(); });
    on("btSetup", [this] { printerSetup(); });
    connect(findChild<QPushButton*>(QStringLiteral("btClose")), &QPushButton::clicked, this,
            [this] { setModalResult(ui::mrOk); });

    m_zoom = std::clamp(report.zoom > 0 ? report.zoom : 100, kMinZoom, kMaxZoom);
    m_page = pageCount() > 0 ? 1 : 0;
    refresh();
}

QPushButton* ReportPreview::button(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    return b;
}

int ReportPreview::pageCount() const
{
    return m_report.qrPrinter().pageCount();
}

void ReportPreview::setCurrentPage(int page)
{
    if (pageCount() == 0)
        return;
    m_page = std::clamp(page, 1, pageCount());
    refresh();
}

void ReportPreview::setZoom(int percent)
{
    m_zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    refresh();
}

void ReportPreview::printReport()
{
    m_report.printPrepared();
}

void ReportPreview::printerSetup()
{
    m_report.printerSetup();
}

QString ReportPreview::statusText() const
{
    return QStringLiteral("Página %1 de %2 - %3%").arg(m_page).arg(pageCount()).arg(m_zoom);
}

void ReportPreview::refresh()
{
    if (m_page > 0) {
        // 96 dpi is the screen at 100%.
        m_image = renderPageImage(m_report.qrPrinter(), m_page - 1, 96.0 * m_zoom / 100.0);
        m_view->setPixmap(QPixmap::fromImage(m_image));
    } else {
        m_image = QImage();
        m_view->clear();
    }
    m_status->setText(statusText());
    const bool any = pageCount() > 0;
    findChild<QPushButton*>(QStringLiteral("btFirst"))->setEnabled(any && m_page > 1);
    findChild<QPushButton*>(QStringLiteral("btPrior"))->setEnabled(any && m_page > 1);
    findChild<QPushButton*>(QStringLiteral("btNext"))->setEnabled(any && m_page < pageCount());
    findChild<QPushButton*>(QStringLiteral("btLast"))->setEnabled(any && m_page < pageCount());
    findChild<QPushButton*>(QStringLiteral("btPrint"))->setEnabled(any);
}

void showPreview(Report& report)
{
    auto* preview = new ReportPreview(report);
    struct Free {
        ReportPreview* p;
        ~Free() { Component::free(p); }
    } guard{preview};
    if (report.previewMaximized)
        preview->setWindowState(preview->windowState() | Qt::WindowMaximized);
    else
        preview->resize(900, 700);
    preview->showModal();
}

} // namespace vorta::report
