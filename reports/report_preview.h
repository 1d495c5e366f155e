#pragma once

#include "reports/report_document.h"
#include "reports/report_engine.h"
#include "reports/report_page_view.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QProgressBar;
class QSpinBox;
class QTimer;

// The print preview of a report: page navigation, zoom, printing on any printer of the system and
// saving as PDF. Given a prepared report it opens at once and lays the pages out while it is
// shown, a slice of rows at a time between the user's events: page 1 shows as soon as it is made,
// the others can be gone to as they come ("из …" and a progress bar until the last one is made).
// Pages are painted from their records at the zoom shown; printing and saving use the same
// records, and wait for the rest of the pages first. Closing the preview stops the layout and
// frees the report's rows and pages.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    // A report laid out while the preview is shown.
    explicit ReportPreview(const PreparedReport &report, QWidget *parent = nullptr);
    // A report generated already.
    ReportPreview(const ReportDocument &document, ReportZoom zoom, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Opens the preview maximised and returns when the user has closed it.
    static void run(const PreparedReport &report, ReportZoom zoom, QWidget *parent = nullptr);

    // Tests replace the modal run of the preview: the hook gets the dialog, ready and maximised,
    // with every page laid out, instead of the user.
    using ExecHook = std::function<void(ReportPreview &)>;
    static void setExecHook(ExecHook hook);

    const ReportDocument &document() const { return m_document; }
    ReportPageView *view() const { return m_view; }
    int currentPage() const;
    // The pages made so far.
    int pageCount() const;
    bool isLayingOut() const { return bool(m_run); }
    // Rows of the report laid out so far, and in all.
    int rowsLaidOut() const;
    int rowCount() const;
    // Lays out the rest of the pages at once.
    void finishLayout();

    // Writes the report to that PDF file; tells the user and returns false when it cannot.
    bool savePdf(const QString &path);
    // Prints the report on that printer; tells the user and returns false when it cannot.
    bool printOn(QPrinter *printer);

    // Rows laid out between two looks at the clock, and how long a slice of the layout may keep
    // the user's events waiting.
    static constexpr int RowsPerStep = 32;
    static constexpr int SliceMs = 25;

signals:
    // More pages were made; `finished` once the last one is.
    void pagesMade(int count, bool finished);

public slots:
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void fitPage();
    void print();     // asks for a printer and prints
    void saveAsPdf(); // asks for a file name and saves
    void done(int result) override;

private:
    void build(ReportZoom zoom);
    void layOutSlice();
    void stopLayout();
    void showPage(int page);
    void updateNavigation();

    ReportDocument m_document;
    // While pages are being made: the report and its run, which adds them to m_document.
    std::unique_ptr<PreparedReport> m_report;
    std::unique_ptr<ReportDocument::Pages> m_pages;
    std::unique_ptr<ReportLayoutRun> m_run;
    QTimer *m_layoutTimer = nullptr;
    std::unique_ptr<QPrinter> m_printPrinter; // the printer chosen for printing, kept while open
    ReportPageView *m_view = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageCountLabel = nullptr;
    QProgressBar *m_progress = nullptr;
};
