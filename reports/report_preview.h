#pragma once

#include "reports/report_document.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;

// The print preview of a generated report: page navigation, zoom, printing on any printer of
// the system and saving as PDF. It shows the pages that were generated before it opened.
class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(const ReportDocument &document, ReportZoom zoom, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Opens the preview maximised and returns when the user has closed it.
    static void run(const ReportDocument &document, ReportZoom zoom, QWidget *parent = nullptr);

    // Tests replace the modal run of the preview: the hook gets the dialog, ready and
    // maximised, instead of the user.
    using ExecHook = std::function<void(ReportPreview &)>;
    static void setExecHook(ExecHook hook);

    const ReportDocument &document() const { return m_document; }
    QPrintPreviewWidget *view() const { return m_view; }
    int currentPage() const;
    int pageCount() const;

    // Writes the report to that PDF file; tells the user and returns false when it cannot.
    bool savePdf(const QString &path);
    // Prints the report on that printer; tells the user and returns false when it cannot.
    bool printOn(QPrinter *printer);

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

private:
    void showPage(int page);
    void updateNavigation();

    ReportDocument m_document;
    std::unique_ptr<QPrinter> m_printer;      // the preview's pages
    std::unique_ptr<QPrinter> m_printPrinter; // the printer chosen for printing, kept while open
    QPrintPreviewWidget *m_view = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageCountLabel = nullptr;
};
