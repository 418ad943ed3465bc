#pragma once

#include "platform/report/PreparedReport.h"
#include "platform/ui/Form.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace vorta::report {

class Report;

// The preview window over a prepared report: zoom, page navigation, print and
// printer set-up. Shown modally through the form's modal hook.
class ReportPreview : public ui::Form {
    Q_OBJECT
public:
    explicit ReportPreview(Report& report, Component* owner = nullptr);

    int pageCount() const;
    int currentPage() const { return m_page; }  // 1-based; 0 with no page
    void setCurrentPage(int page);
    int zoom() const { return m_zoom; }
    void setZoom(int percent);

    void firstPage() { setCurrentPage(1); }
    void priorPage() { setCurrentPage(m_page - 1); }
    void nextPage() { setCurrentPage(m_page + 1); }
    void lastPage() { setCurrentPage(pageCount()); }
    void printReport();
    void printerSetup();

    QString statusText() const;
    // The page image on show.
    QImage pageImage() const { return m_image; }

private:
    void refresh();
    QPushButton* button(const QString& name, const QString& caption);

    Report& m_report;
    int m_page = 0;
    int m_zoom = 100;
    QImage m_image;
    QLabel* m_view = nullptr;
    QLabel* m_status = nullptr;
    QScrollArea* m_scroll = nullptr;
};

// Shows the report's prepared pages in a modal preview (maximised when the report
// asks for it).
void showPreview(Report& report);

} // namespace vorta::report
