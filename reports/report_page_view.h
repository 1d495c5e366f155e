#pragma once

#include <QAbstractScrollArea>

class ReportDocument;

// Shows one page of a report at a time, painted from the document's page records at the zoom
// shown whenever it is shown: nothing of a page is kept but its records. Pages may be added to
// the document while it is shown.
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // As the print preview widgets of Qt name them.
    enum ZoomMode { CustomZoom, FitToWidth, FitInView };

    explicit ReportPageView(const ReportDocument &document, QWidget *parent = nullptr);

    // 1-based; 0 while the document has no page.
    int currentPage() const;
    void setCurrentPage(int page);
    int pageCount() const;
    // Tells the view that the document has more pages than before.
    void pagesAdded();

    ZoomMode zoomMode() const { return m_mode; }
    void setZoomMode(ZoomMode mode);
    // 1: the paper at its own size on the screen.
    double zoomFactor() const { return m_zoom; }
    void setZoomFactor(double factor);
    void zoomIn(double factor = 1.25) { setZoomFactor(m_zoom * factor); }
    void zoomOut(double factor = 1.25) { setZoomFactor(m_zoom / factor); }
    void fitToWidth() { setZoomMode(FitToWidth); }
    void fitInView() { setZoomMode(FitInView); }

    // The number of times a page has been painted, for the benchmark and the tests.
    int paintedPages() const { return m_paintedPages; }

signals:
    void currentPageChanged(int page);
    // A page was painted on the screen.
    void pagePainted(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF paperMm() const;
    double pixelsPerMm() const;
    void updateZoom();
    void updateScrollBars();

    const ReportDocument &m_document;
    int m_page = 0;
    ZoomMode m_mode = FitToWidth;
    double m_zoom = 1;
    int m_paintedPages = 0;
};
