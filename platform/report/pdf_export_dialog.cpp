#include "platform/report/pdf_export_dialog.h"

#include "platform/report/frx_pdf_export.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Wide enough for 40 average characters, and for its text with the cursor after it up to 80.
QLineEdit* edit(const char* name, const String& text, QWidget* parent)
{
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    const QFontMetrics fm = e->fontMetrics();
    const int unit = fm.averageCharWidth();
    const int textWidth = std::clamp(fm.horizontalAdvance(text) + unit, 40 * unit, 80 * unit);
    QStyleOptionFrame option;
    option.initFrom(e);
    option.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e);
    const QMargins margins = e->textMargins();
    // The field's own inner margin of 2 pixels on either side.
    const QSize contents(textWidth + 4 + margins.left() + margins.right(), fm.height());
    e->setMinimumWidth(
        e->style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, e).width());
    return e;
}

} // namespace

PdfExportDialog::PdfExportDialog(TfrxPDFExport& filter, const String& reportName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      filter_(filter)
{
    setObjectName(QStringLiteral("dlg_pdf_export"));
    setWindowTitle(QStringLiteral("PDF-Export"));

    auto* info = new QGroupBox(QStringLiteral("Dokumentinformationen"), this);
    auto* form = new QFormLayout(info);
    title_ = edit("edt_title", filter.Title.isEmpty() ? reportName : filter.Title, info);
    author_ = edit("edt_author", filter.Author, info);
    subject_ = edit("edt_subject", filter.Subject, info);
    keywords_ = edit("edt_keywords", filter.Keywords, info);
    creator_ = edit("edt_creator", filter.Creator, info);
    producer_ = edit("edt_producer", filter.Producer, info);
    form->addRow(QStringLiteral("&Titel:"), title_);
    form->addRow(QStringLiteral("&Autor:"), author_);
    form->addRow(QStringLiteral("T&hema:"), subject_);
    form->addRow(QStringLiteral("&Stichwörter:"), keywords_);
    form->addRow(QStringLiteral("A&nwendung:"), creator_);
    form->addRow(QStringLiteral("&PDF-Erzeuger:"), producer_);

    auto* options = new QGroupBox(QStringLiteral("Optionen"), this);
    auto* box = new QVBoxLayout(options);
    auto* compressed = new QCheckBox(QStringLiteral("Komprimiert"), options);
    compressed->setObjectName(QStringLiteral("chk_compressed"));
    compressed->setChecked(true);
    compressed->setEnabled(false); // the writer always compresses
    overwrite_ = new QCheckBox(QStringLiteral("Vor dem Überschreiben fragen"), options);
    overwrite_->setObjectName(QStringLiteral("chk_overwrite"));
    overwrite_->setChecked(filter.OverwritePrompt);
    box->addWidget(compressed);
    box->addWidget(overwrite_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PdfExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PdfExportDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(info);
    layout->addWidget(options);
    layout->addWidget(buttons);
}

void PdfExportDialog::accept()
{
    filter_.Title = title_->text();
    filter_.Author = author_->text();
    filter_.Subject = subject_->text();
    filter_.Keywords = keywords_->text();
    filter_.Creator = creator_->text();
    filter_.Producer = producer_->text();
    filter_.OverwritePrompt = overwrite_->isChecked();
    QDialog::accept();
}
