#include "platform/vcl/header_control.h"

#include <QStandardItemModel>

#include <algorithm>

String THeaderSection::Text() const
{
    return control_->model()->headerData(Index, Qt::Horizontal).toString();
}

int THeaderSection::Width() const
{
    return control_->sectionSize(Index);
}

void THeaderSection::SetWidth(int width)
{
    control_->setWidthInCode(Index, std::clamp(width, MinWidth, MaxWidth));
}

THeaderControl::THeaderControl(const String& name, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), model_(new QStandardItemModel(0, 0, this))
{
    setObjectName(name);
    setModel(model_);
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    setMaximumSectionSize(10000);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionResized, this, [this](int index, int, int) {
        if (!inCode_ && index >= 0 && index < SectionCount())
            emit SectionResize(this, Sections(index));
    });
    connect(this, &QHeaderView::sectionClicked, this, [this](int index) {
        if (index >= 0 && index < SectionCount())
            emit SectionClick(this, Sections(index));
    });
}

THeaderControl::~THeaderControl() = default;

THeaderSection* THeaderControl::AddSection(const String& text, int width)
{
    const int index = SectionCount();
    model_->setColumnCount(index + 1);
    model_->setHorizontalHeaderItem(index, new QStandardItem(text));
    sections_.push_back(std::make_unique<THeaderSection>(this, index));
    THeaderSection* section = sections_.back().get();
    section->SetWidth(width);
    return section;
}

THeaderSection* THeaderControl::Sections(int index) const
{
    return index >= 0 && index < SectionCount() ? sections_[static_cast<std::size_t>(index)].get()
                                                : nullptr;
}

void THeaderControl::setWidthInCode(int index, int width)
{
    const bool was = inCode_;
    inCode_ = true;
    resizeSection(index, width);
    inCode_ = was;
}
