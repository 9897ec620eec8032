#include "platform/report/report_template.h"

#include "platform/report/ean8.h"

String FieldRef(const String& dataSet, const String& field)
{
    return QStringLiteral("[%1.\"%2\"]").arg(dataSet, field);
}

ReportObject TextObject(double left, double top, double width, double height, const String& text,
                        const ReportFont& font, HAlign align)
{
    ReportObject o;
    o.Kind = ObjectKind::Text;
    o.Left = left;
    o.Top = top;
    o.Width = width;
    o.Height = height;
    o.Text = text;
    o.Font = font;
    o.Align = align;
    return o;
}

ReportObject LineObject(double left, double top, double width, double thickness)
{
    ReportObject o;
    o.Kind = ObjectKind::Line;
    o.Left = left;
    o.Top = top;
    o.Width = width;
    o.LineWidth = thickness;
    return o;
}

ReportObject BarCodeObject(const String& name, double left, double top, double height,
                           const String& text, const ReportFont& digits)
{
    ReportObject o;
    o.Kind = ObjectKind::BarCode;
    o.Name = name;
    o.Left = left;
    o.Top = top;
    o.Width = Ean8::Width;
    o.Height = height;
    o.Text = text;
    o.Font = digits;
    return o;
}

ReportBand& ReportBand::Add(const ReportObject& object)
{
    Objects.push_back(object);
    return *this;
}

double ReportPage::Width() const
{
    return Orientation == PageOrientation::Portrait ? PaperWidth : PaperHeight;
}

double ReportPage::Height() const
{
    return Orientation == PageOrientation::Portrait ? PaperHeight : PaperWidth;
}

ReportBand& ReportPage::AddBand(BandKind kind, const String& name, double height,
                                const String& dataSet)
{
    ReportBand band;
    band.Kind = kind;
    band.Name = name;
    band.Height = height;
    band.DataSet = dataSet;
    Bands.push_back(band);
    return Bands.back();
}

ReportPage& ReportPage::Add(const ReportObject& object)
{
    Objects.push_back(object);
    return *this;
}

const ReportBand* ReportPage::Band(BandKind kind) const
{
    for (const ReportBand& band : Bands)
        if (band.Kind == kind)
            return &band;
    return nullptr;
}
