#include "reports/report_preview.h"

#include "ui/messages.h"
#include "ui/remembered_state.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
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
} // namespace

ReportPreview::ReportPreview(const ReportDocument &document, ReportZoom zoom, QWidget *parent)
    : QDialog(parent), m_document(document)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(document.title().isEmpty()
                       ? QStringLiteral("Предварительный просмотр")
                       : QStringLiteral("Предварительный просмотр: %1").arg(document.title().trimmed()));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    // The preview paints on a PDF-format printer: the pages then show on exactly the paper the
    // report was laid out for, whatever the default printer of the workstation is.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setPageLayout(document.pageLayout());
    m_printer->setFullPage(true);
    m_printer->setDocName(document.title());

    m_view = new QPrintPreviewWidget(m_printer.get(), this);
    m_view->setObjectName(QStringLiteral("PreviewView"));
    m_view->setViewMode(QPrintPreviewWidget::SinglePageView);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        printDocument(m_document, printer);
    });

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
    makeAction("actionClose", QStringLiteral("Закрыть"), &ReportPreview::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);

    m_view->updatePreview();
    if (zoom == ReportZoom::WholePage)
        m_view->fitInView();
    else
        m_view->fitToWidth();
    RememberedState::restoreZoom(m_view);

    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this, &ReportPreview::showPage);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::updateNavigation);
    updateNavigation();
    resize(900, 700);
}

ReportPreview::~ReportPreview()
{
    RememberedState::keepZoom(m_view);
    // The preview widget paints on m_printer; it goes first.
    delete m_view;
}

void ReportPreview::run(const ReportDocument &document, ReportZoom zoom, QWidget *parent)
{
    ReportPreview preview(document, zoom, parent);
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    if (execHook())
        execHook()(preview);
    else
        preview.exec();
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
    return m_view->pageCount();
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
    m_pageCountLabel->setText(QStringLiteral(" из %1 ").arg(count));
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
    if (printDocument(m_document, printer))
        return true;
    Messages::error(QStringLiteral("Не удалось напечатать отчет на принтере \"%1\".")
                        .arg(printer->printerName()));
    return false;
}

void ReportPreview::print()
{
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
    if (m_document.savePdf(path))
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
