#include "platform/report/frx_pdf_export.h"

#include "platform/report/page_layout.h"
#include "platform/report/pdf_export_dialog.h"
#include "platform/report/pdf_info.h"
#include "platform/report/report_progress.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/exception.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Passes what is written on to the file and keeps the last bytes, where a PDF ends with its
// trailer.
class TailDevice : public QIODevice {
public:
    explicit TailDevice(QIODevice& target) : target_(target)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    const QByteArray& Tail() const { return tail_; }
    qint64 Written() const { return written_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (target_.write(data, size) != size)
            return -1;
        written_ += size;
        tail_.append(data, size);
        if (tail_.size() > 2 * keep)
            tail_.remove(0, tail_.size() - keep);
        return size;
    }

private:
    static constexpr qsizetype keep = 64 * 1024;
    QIODevice& target_;
    QByteArray tail_;
    qint64 written_ = 0;
};

[[noreturn]] void cannotWrite(const String& fileName, const QFileDevice& file)
{
    throw EReportError(
        QStringLiteral("The file '%1' cannot be written: %2").arg(fileName, file.errorString()));
}

} // namespace

bool TfrxPDFExport::Export(const PageSource& pages, const String& reportName)
{
    if (pages.Count() == 0)
        return false;
    QWidget* parent = ReportOwnerWindow();
    if (ShowDialog) {
        PdfExportDialog dialog(*this, reportName, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    if ((ShowDialog || FileName.isEmpty()) && !askFileName(parent))
        return false;
    if (!ShowProgress)
        return SaveToFile(pages, reportName, FileName);
    // Over the window the export started from: the dialogs before it are gone.
    ReportProgress progress(QStringLiteral("PDF-Export"),
                            QStringLiteral("Die Seiten werden geschrieben ..."), pages.Count(),
                            parent);
    return SaveToFile(pages, reportName, FileName, &progress);
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
    // In the folder of the file last chosen, while it is there; else in the user's documents
    // (or home) folder.
    const QFileInfo last(FileName);
    if (!FileName.isEmpty() && last.absoluteDir().exists()) {
        dialog.selectFile(last.absoluteFilePath());
    } else {
        const String documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        dialog.setDirectory(!documents.isEmpty() && QDir(documents).exists() ? documents
                                                                             : QDir::homePath());
        if (!FileName.isEmpty())
            dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().front();
    return true;
}

bool TfrxPDFExport::SaveToFile(const PageSource& pages, const String& reportName,
                               const String& fileName, ReportProgress* progress) const
{
    const String title = Title.isEmpty() ? reportName : Title;
    // Written beside the file's place and renamed into it once complete: a failure or a
    // cancel leaves no part of a file behind, and an existing file stays as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EReportError(QStringLiteral("The file '%1' cannot be created: %2")
                               .arg(fileName, file.errorString()));
    TailDevice out(file);
    {
        QPdfWriter writer(&out);
        writer.setResolution(1200);
        writer.setTitle(title);
        writer.setCreator(Creator);
        const int count = pages.Count();
        if (count > 0)
            writer.setPageLayout(PageLayout(pages.Page(0)));
        QPainter painter;
        if (!painter.begin(&writer))
            throw EReportError(
                QStringLiteral("The PDF document '%1' cannot be started").arg(fileName));
        for (int i = 0; i < count; ++i) {
            const PreparedPage page = pages.Page(i);
            if (i > 0) {
                writer.setPageLayout(PageLayout(page));
                writer.newPage();
            }
            ReportRenderer::DrawPage(painter, page);
            if (file.error() != QFileDevice::NoError) {
                painter.end();
                cannotWrite(fileName, file);
            }
            if (progress &&
                !progress->Step(
                    i + 1,
                    QStringLiteral("Seite %1 von %2 wird geschrieben ...").arg(i + 1).arg(count))) {
                painter.end();
                file.cancelWriting();
                return false;
            }
        }
        painter.end();
    }

    const QByteArray info = PdfInfoUpdate(
        out.Tail(), out.Written(),
        PdfInfo{title, Author, Subject, Keywords, Creator, Producer, QDateTime::currentDateTime()});
    if (file.write(info) != info.size() || !file.commit())
        cannotWrite(fileName, file);
    return true;
}
