#include "reports/report_preview.h"

#include "ui/messages.h"
#include "ui/remembered_state.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
ReportPreview::ExecHook &execHook()
{
    static ReportPreview::ExecHook hook;
    return hook;
}

// Pages are painted from the paper's corner: they carry the report's margins themselves.
bool printDocument(const ReportDocument &document, QPrinter *printer)
{
    printer->setFullPage(true);
    printer->setDocName(document.title());
    return document.print(printer, printer->pageRanges());
}

// Waits for the layout with the busy cursor.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

ReportPreview::ReportPreview(const PreparedReport &report, QWidget *parent)
    : QDialog(parent),
      m_document(report.layout.title, report.layout.orientation, report.layout.margins),
      m_report(std::make_unique<PreparedReport>(report))
{
    m_pages = std::make_unique<ReportDocument::Pages>(m_document);
    // Faults of the layout show here, before the window opens.
    m_run = std::make_unique<ReportLayoutRun>(m_report->layout, m_report->data, m_document.textCache(), *m_pages);
    build(report.zoom);
    m_layoutTimer = new QTimer(this);
    m_layoutTimer->setInterval(0);
    connect(m_layoutTimer, &QTimer::timeout, this, &ReportPreview::layOutSlice);
    m_layoutTimer->start();
}

ReportPreview::ReportPreview(const ReportDocument &document, ReportZoom zoom, QWidget *parent)
    : QDialog(parent), m_document(document)
{
    build(zoom);
}

void ReportPreview::build(ReportZoom zoom)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(m_document.title().isEmpty()
                       ? QStringLiteral("Предварительный просмотр")
                       : QStringLiteral("Предварительный просмотр: %1").arg(m_document.title().trimmed()));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    m_view = new ReportPageView(m_document, this);
    m_view->setObjectName(QStringLiteral("PreviewView"));

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("PreviewToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    const auto makeAction = [&](const char *objectName, const QString &text, void (ReportPreview::*slot)(),
                               const QIcon &icon = QIcon(), const QKeySequence &keys = QKeySequence()) {
        auto *action = new QAction(icon, text, this);
        action->setObjectName(QLatin1String(objectName));
        action->setToolTip(text);
        if (!keys.isEmpty())
            action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        bar->addAction(action);
        this->addAction(action);
        if (!icon.isNull())
            if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
                button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return action;
    };

    makeAction("actionPrint", QStringLiteral("Печать..."), &ReportPreview::print, QIcon(),
              QKeySequence::Print);
    makeAction("actionSavePdf", QStringLiteral("Сохранить в PDF..."), &ReportPreview::saveAsPdf, QIcon(),
              QKeySequence::Save);
    bar->addSeparator();
    makeAction("actionFirstPage", QStringLiteral("Первая страница"), &ReportPreview::firstPage,
              style()->standardIcon(QStyle::SP_MediaSkipBackward), QKeySequence(Qt::CTRL | Qt::Key_Home));
    makeAction("actionPreviousPage", QStringLiteral("Предыдущая страница"), &ReportPreview::previousPage,
              style()->standardIcon(QStyle::SP_MediaSeekBackward), QKeySequence(Qt::CTRL | Qt::Key_PageUp));

    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("PageNumber"));
    m_pageBox->setToolTip(QStringLiteral("Номер страницы"));
    bar->addWidget(m_pageBox);
    m_pageCountLabel = new QLabel(this);
    m_pageCountLabel->setObjectName(QStringLiteral("PageCount"));
    bar->addWidget(m_pageCountLabel);

    makeAction("actionNextPage", QStringLiteral("Следующая страница"), &ReportPreview::nextPage,
              style()->standardIcon(QStyle::SP_MediaSeekForward), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    makeAction("actionLastPage", QStringLiteral("Последняя страница"), &ReportPreview::lastPage,
              style()->standardIcon(QStyle::SP_MediaSkipForward), QKeySequence(Qt::CTRL | Qt::Key_End));
    bar->addSeparator();
    makeAction("actionZoomOut", QStringLiteral("Мельче"), &ReportPreview::zoomOut, QIcon(),
              QKeySequence::ZoomOut);
    makeAction("actionZoomIn", QStringLiteral("Крупнее"), &ReportPreview::zoomIn, QIcon(),
              QKeySequence::ZoomIn);
    makeAction("actionFitWidth", QStringLiteral("По ширине"), &ReportPreview::fitWidth);
    makeAction("actionFitPage", QStringLiteral("Страница целиком"), &ReportPreview::fitPage);
    bar->addSeparator();
    // How far the layout has come, while pages are still being made.
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("PreviewProgress"));
    m_progress->setToolTip(QStringLiteral("Подготовка страниц"));
    m_progress->setMaximumWidth(200);
    m_progress->setFormat(QStringLiteral("Подготовка страниц: %p%"));
    bar->addWidget(m_progress)->setObjectName(QStringLiteral("actionPreviewProgress"));
    bar->addSeparator();
    makeAction("actionClose", QStringLiteral("Закрыть"), &ReportPreview::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);

    if (zoom == ReportZoom::WholePage)
        m_view->fitInView();
    else
        m_view->fitToWidth();
    // The way the user last left a preview wins over the report's own.
    const RememberedState::PreviewZoom remembered = RememberedState::rememberedZoom();
    if (remembered.mode == RememberedState::PreviewZoom::PageWidth)
        m_view->fitToWidth();
    else if (remembered.mode == RememberedState::PreviewZoom::WholePage)
        m_view->fitInView();
    else if (remembered.mode == RememberedState::PreviewZoom::Factor)
        m_view->setZoomFactor(remembered.factor);

    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this, &ReportPreview::showPage);
    connect(m_view, &ReportPageView::currentPageChanged, this, &ReportPreview::updateNavigation);
    updateNavigation();
    resize(900, 700);
}

ReportPreview::~ReportPreview()
{
    RememberedState::PreviewZoom zoom;
    zoom.factor = m_view->zoomFactor();
    switch (m_view->zoomMode()) {
    case ReportPageView::FitToWidth: zoom.mode = RememberedState::PreviewZoom::PageWidth; break;
    case ReportPageView::FitInView: zoom.mode = RememberedState::PreviewZoom::WholePage; break;
    case ReportPageView::CustomZoom: zoom.mode = RememberedState::PreviewZoom::Factor; break;
    }
    RememberedState::keepZoom(zoom);
    stopLayout();
}

void ReportPreview::run(const PreparedReport &report, ReportZoom zoom, QWidget *parent)
{
    PreparedReport zoomed = report;
    zoomed.zoom = zoom;
    ReportPreview preview(zoomed, parent);
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    if (execHook()) {
        preview.finishLayout();
        execHook()(preview);
    } else {
        preview.exec();
    }
}

void ReportPreview::setExecHook(ExecHook hook)
{
    execHook() = std::move(hook);
}

int ReportPreview::currentPage() const
{
    return m_view->currentPage();
}

int ReportPreview::pageCount() const
{
    return m_document.pageCount();
}

int ReportPreview::rowsLaidOut() const
{
    return m_run ? m_run->rowsLaidOut() : rowCount();
}

int ReportPreview::rowCount() const
{
    return m_run ? m_run->rowCount() : 0;
}

void ReportPreview::layOutSlice()
{
    if (!m_run)
        return;
    // Rows until the slice's time is up or a first page is made, which is then shown at once.
    QElapsedTimer clock;
    clock.start();
    const int pagesBefore = pageCount();
    while (m_run->step(RowsPerStep) && clock.elapsed() < SliceMs && (pagesBefore > 0 || pageCount() == 0)) {
    }
    const bool finished = m_run->isFinished();
    if (finished)
        stopLayout();
    if (pageCount() != pagesBefore || finished) {
        m_view->pagesAdded();
        updateNavigation();
        emit pagesMade(pageCount(), finished);
    } else if (m_progress) {
        m_progress->setValue(rowsLaidOut());
    }
}

void ReportPreview::finishLayout()
{
    if (!m_run)
        return;
    const int pagesBefore = pageCount();
    {
        BusyCursor busy;
        m_run->finish();
    }
    stopLayout();
    m_view->pagesAdded();
    updateNavigation();
    if (pageCount() != pagesBefore)
        emit pagesMade(pageCount(), true);
}

void ReportPreview::stopLayout()
{
    if (m_layoutTimer)
        m_layoutTimer->stop();
    // The run goes before what it reads; the rows go with the report.
    m_run.reset();
    m_pages.reset();
    m_report.reset();
}

void ReportPreview::done(int result)
{
    // Closed while pages are still being made: the rest is not wanted.
    stopLayout();
    QDialog::done(result);
}

void ReportPreview::showPage(int page)
{
    if (page >= 1 && page <= pageCount() && page != currentPage())
        m_view->setCurrentPage(page);
    updateNavigation();
}

void ReportPreview::updateNavigation()
{
    const int count = pageCount();
    const int page = currentPage();
    {
        const QSignalBlocker blocker(m_pageBox);
        m_pageBox->setRange(count > 0 ? 1 : 0, count);
        m_pageBox->setValue(page);
    }
    // Pages not made yet cannot be gone to; how many there will be shows once the last is made.
    const bool laying = isLayingOut();
    m_pageCountLabel->setText(laying ? QStringLiteral(" из … ") : QStringLiteral(" из %1 ").arg(count));
    if (laying) {
        m_progress->setRange(0, std::max(1, rowCount()));
        m_progress->setValue(rowsLaidOut());
    }
    m_progress->setVisible(laying);
    if (auto *progressAction = findChild<QAction *>(QStringLiteral("actionPreviewProgress")))
        progressAction->setVisible(laying);
    const auto enable = [this](const char *name, bool on) {
        if (auto *a = findChild<QAction *>(QLatin1String(name)))
            a->setEnabled(on);
    };
    enable("actionFirstPage", page > 1);
    enable("actionPreviousPage", page > 1);
    enable("actionNextPage", page < count);
    enable("actionLastPage", page < count);
}

void ReportPreview::firstPage()
{
    showPage(1);
}

void ReportPreview::previousPage()
{
    showPage(currentPage() - 1);
}

void ReportPreview::nextPage()
{
    showPage(currentPage() + 1);
}

void ReportPreview::lastPage()
{
    showPage(pageCount());
}

void ReportPreview::zoomIn()
{
    m_view->zoomIn(1.25);
}

void ReportPreview::zoomOut()
{
    m_view->zoomOut(1.25);
}

void ReportPreview::fitWidth()
{
    m_view->fitToWidth();
}

void ReportPreview::fitPage()
{
    m_view->fitInView();
}

bool ReportPreview::printOn(QPrinter *printer)
{
    finishLayout();
    if (printDocument(m_document, printer))
        return true;
    Messages::error(QStringLiteral("Не удалось напечатать отчет на принтере \"%1\".")
                        .arg(printer->printerName()));
    return false;
}

void ReportPreview::print()
{
    finishLayout();
    // The printer is kept while the preview is open, so that a second copy goes where the
    // first one went, with the same settings.
    if (!m_printPrinter) {
        m_printPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printPrinter->setPageLayout(m_document.pageLayout());
        m_printPrinter->setFullPage(true);
        m_printPrinter->setDocName(m_document.title());
    }
    QPrintDialog dialog(m_printPrinter.get(), this);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    dialog.setMinMax(1, m_document.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() == QDialog::Accepted)
        printOn(m_printPrinter.get());
}

bool ReportPreview::savePdf(const QString &path)
{
    finishLayout();
    bool saved = false;
    {
        BusyCursor busy;
        saved = m_document.savePdf(path);
    }
    if (saved)
        return true;
    Messages::error(
        QStringLiteral("Не удалось сохранить файл \"%1\".").arg(QDir::toNativeSeparators(path)));
    return false;
}

void ReportPreview::saveAsPdf()
{
    QString name = m_document.title().trimmed();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name)
        if (forbidden.contains(c))
            c = QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("Отчет");
    const QString folder = RememberedState::savingFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить в PDF"),
                                                QDir(folder).filePath(name + QStringLiteral(".pdf")),
                                                QStringLiteral("Документ PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (savePdf(path))
        RememberedState::keepSavedFile(path);
}
