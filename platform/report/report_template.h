#pragma once

#include "platform/rtl/ansistring.h"

#include <deque>
#include <vector>

// A report template as plain data. Every measure is in millimetres; sizes of fonts in points.

struct ReportFont {
    String Family = QStringLiteral("Arial");
    double Size = 10.0;
    bool Bold = false;
};

enum class HAlign { Left, Center, Right };

enum class ObjectKind { Text, Line, BarCode };

// A text, a horizontal line or an EAN-8 bar code. Left and Top count from the top left corner
// of the band that holds the object, or of the printable area for an object outside bands.
struct ReportObject {
    ObjectKind Kind = ObjectKind::Text;
    String Name;
    double Left = 0.0;
    double Top = 0.0;
    double Width = 0.0;
    double Height = 0.0;
    // Text objects: literal text with the expressions [Date] (the day the report is built),
    // [Page#], [TotalPages#] and [<data set>."<field>"]. Bar codes: their content, usually one
    // field reference, filled with zeros on the left to seven digits and followed by the check
    // digit; a content of more digits than a symbol holds is printed as a text in its place.
    String Text;
    // Text objects and the digits under a bar code.
    ReportFont Font;
    HAlign Align = HAlign::Left;
    // Thickness of a line.
    double LineWidth = 25.4 / 96.0;
};

// "[<dataSet>.\"<field>\"]", the reference to a field of a data link's current row.
String FieldRef(const String& dataSet, const String& field);

ReportObject TextObject(double left, double top, double width, double height, const String& text,
                        const ReportFont& font = {}, HAlign align = HAlign::Left);
// A solid black horizontal line of the given length.
ReportObject LineObject(double left, double top, double width, double thickness = 25.4 / 96.0);
// An EAN-8 symbol: 67 modules of 1/96 inch (17.7 mm), height including the digits under it.
ReportObject BarCodeObject(const String& name, double left, double top, double height,
                           const String& text,
                           const ReportFont& digits = {QStringLiteral("Arial"), 9.0, false});

enum class BandKind {
    ReportTitle, // once, at the top of the first page
    Header,      // once, directly above the first row of the master data band
    MasterData,  // once per row of its data set
    PageFooter,  // at the bottom of every page
};

// A band spans the printable area's width.
struct ReportBand {
    BandKind Kind = BandKind::MasterData;
    String Name;
    double Height = 0.0;
    // Master data: the user name of the data link whose rows it prints.
    String DataSet;
    std::vector<ReportObject> Objects;

    ReportBand& Add(const ReportObject& object);
};

enum class PageOrientation { Portrait, Landscape };

struct ReportPage {
    String Name;
    // The sheet upright; landscape turns it.
    double PaperWidth = 210.0;
    double PaperHeight = 297.0;
    PageOrientation Orientation = PageOrientation::Portrait;
    double LeftMargin = 10.0;
    double TopMargin = 10.0;
    double RightMargin = 10.0;
    double BottomMargin = 10.0;
    // When set, the user name of the report's main data set: the page is built once per row
    // of it, and not at all when it has none.
    String DataSet;
    // At most one band of each kind. A deque, so that AddBand's references stay valid.
    std::deque<ReportBand> Bands;
    // Objects outside bands, on every page at fixed places in the printable area.
    std::vector<ReportObject> Objects;

    // The sheet as oriented.
    double Width() const;
    double Height() const;

    ReportBand& AddBand(BandKind kind, const String& name, double height,
                        const String& dataSet = String());
    ReportPage& Add(const ReportObject& object);
    // Null when the page has no band of that kind.
    const ReportBand* Band(BandKind kind) const;
};
