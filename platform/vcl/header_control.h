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

// A row of captions above a list, each section clickable and sizable by the user.
class THeaderControl : public QHeaderView {
    Q_OBJECT
public:
    THeaderControl(const String& name, QWidget* parent);
    ~THeaderControl() override;

    THeaderSection* AddSection(const String& text, int width);
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    THeaderSection* Sections(int index) const;

signals:
    // The user changed the width of the section (not raised when the program sets it).
    void SectionResize(THeaderControl* control, THeaderSection* section);
    void SectionClick(THeaderControl* control, THeaderSection* section);

private:
    friend class THeaderSection;
    void setWidthInCode(int index, int width);

    QStandardItemModel* model_;
    std::vector<std::unique_ptr<THeaderSection>> sections_;
    bool inCode_ = false;
};
