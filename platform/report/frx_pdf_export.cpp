#include "platform/report/frx_pdf_export.h"

#include "platform/report/page_layout.h"
#include "platform/report/pdf_export_dialog.h"
#include "platform/report/pdf_info.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/exception.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QSaveFile>

bool TfrxPDFExport::Export(const PreparedReport& report, const String& reportName)
{
    if (report.Pages.empty())
        return false;
    QWidget* parent = QApplication::activeWindow();
    if (ShowDialog) {
        PdfExportDialog dialog(*this, reportName, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    if ((ShowDialog || FileName.isEmpty()) && !askFileName(parent))
        return false;
    if (!ShowProgress)
        return SaveToFile(report, reportName, FileName);

    QProgressDialog progress(QStringLiteral("Die Seiten werden geschrieben ..."),
                             QStringLiteral("Abbrechen"), 0, report.Count(), parent);
    progress.setWindowTitle(QStringLiteral("PDF-Export"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    progress.show();
    QCoreApplication::processEvents();
    return SaveToFile(report, reportName, FileName, &progress);
}

bool TfrxPDFExport::askFileName(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("PDF-Datei speichern"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !OverwritePrompt);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("PDF-Datei (*.pdf)"), QStringLiteral("Alle Dateien (*)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().front();
    return true;
}

bool TfrxPDFExport::SaveToFile(const PreparedReport& report, const String& reportName,
                               const String& fileName, QProgressDialog* progress) const
{
    const String title = Title.isEmpty() ? reportName : Title;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setTitle(title);
        writer.setCreator(Creator);
        if (!report.Pages.empty())
            writer.setPageLayout(PageLayout(report.Pages.front()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw EReportError(
                QStringLiteral("The PDF document '%1' cannot be started").arg(fileName));
        for (std::size_t i = 0; i < report.Pages.size(); ++i) {
            const PreparedPage& page = report.Pages[i];
            if (i > 0) {
                writer.setPageLayout(PageLayout(page));
                writer.newPage();
            }
            ReportRenderer::DrawPage(painter, page);
            if (progress) {
                progress->setLabelText(QStringLiteral("Seite %1 von %2 wird geschrieben ...")
                                           .arg(i + 1)
                                           .arg(report.Pages.size()));
                progress->setValue(static_cast<int>(i + 1));
                QCoreApplication::processEvents();
                if (progress->wasCanceled()) {
                    painter.end();
                    return false;
                }
            }
        }
        painter.end();
    }

    QByteArray pdf = buffer.data();
    AppendPdfInfo(pdf, PdfInfo{title, Author, Subject, Keywords, Creator, Producer,
                               QDateTime::currentDateTime()});
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EReportError(QStringLiteral("The file '%1' cannot be created: %2")
                               .arg(fileName, file.errorString()));
    if (file.write(pdf) != pdf.size() || !file.commit())
        throw EReportError(QStringLiteral("The file '%1' cannot be written: %2")
                               .arg(fileName, file.errorString()));
    return true;
}
