#pragma once

#include "platform/rtl/ansistring.h"

#include <QHeaderView>

#include <memory>
#include <vector>

class QStandardItemModel;
class THeaderControl;

// One section of a header control: its caption and width.
class THeaderSection {
public:
    THeaderSection(THeaderControl* control, int index) : Index(index), control_(control) {}

    const int Index;
    int MinWidth = 0;
    int MaxWidth = 10000;

    String Text() const;
    int Width() const;
    // Limited to MinWidth..MaxWidth; raises no resize event.
    void SetWidth(int width);

private:
    THeaderControl* control_;
};

// A row of captions above a list, each section clickable and sizable by the user. It can follow
// a list scrolled sideways, its first sections staying where they are as the list's fixed
// columns do.
class THeaderControl : public QHeaderView {
    Q_OBJECT
public:
    THeaderControl(const String& name, QWidget* parent);
    ~THeaderControl() override;

    THeaderSection* AddSection(const String& text, int width);
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    THeaderSection* Sections(int index) const;

    // The first count sections stay in place when the others scroll.
    void SetFixedSections(int count);
    // Moves the sections after the fixed ones offset pixels to the left, as the columns of a
    // list below them are scrolled.
    void ScrollSections(int offset);

signals:
    // The user changed the width of the section (not raised when the program sets it).
    void SectionResize(THeaderControl* control, THeaderSection* section);
    void SectionClick(THeaderControl* control, THeaderSection* section);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class THeaderSection;
    void setWidthInCode(int index, int width);
    void placeFixed();
    bool atFixedDivider(const QMouseEvent* event) const;
    // A left button at the fixed sections' divider starts a drag that goes to them; false,
    // with nothing done, elsewhere.
    bool grabFixedDivider(QMouseEvent* event);
    void toFixed(QMouseEvent* event);

    QStandardItemModel* model_;
    // The fixed sections, drawn over the place where the scrolled ones pass beneath them.
    QHeaderView* fixed_;
    std::vector<std::unique_ptr<THeaderSection>> sections_;
    int fixedCount_ = 0;
    // A drag that began right of the fixed sections' divider goes to them, moved onto it.
    bool toFixed_ = false;
    qreal toFixedShift_ = 0;
    bool inCode_ = false;
};
