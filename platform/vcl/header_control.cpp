#include "platform/vcl/header_control.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyleOptionHeader>

#include <algorithm>

namespace {

// The fixed sections, each drawn as it stands in the whole row (the first one, one in the
// middle), though the sections after them are not part of this view.
class TFixedSections : public QHeaderView {
public:
    explicit TFixedSections(QHeaderView* row) : QHeaderView(Qt::Horizontal, row), row_(row) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        const int visual = row_->visualIndex(logicalIndex);
        if (row_->count() == 1)
            option->position = QStyleOptionHeader::OnlyOneSection;
        else if (visual == 0)
            option->position = QStyleOptionHeader::Beginning;
        else if (visual == row_->count() - 1)
            option->position = QStyleOptionHeader::End;
        else
            option->position = QStyleOptionHeader::Middle;
    }

private:
    const QHeaderView* row_;
};

void setUp(QHeaderView* header)
{
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    header->setMaximumSectionSize(10000);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

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
    : QHeaderView(Qt::Horizontal, parent), model_(new QStandardItemModel(0, 0, this)),
      fixed_(new TFixedSections(this))
{
    setObjectName(name);
    setModel(model_);
    setUp(this);
    fixed_->setObjectName(QStringLiteral("fixed"));
    fixed_->setModel(model_);
    setUp(fixed_);
    fixed_->hide();
    connect(this, &QHeaderView::sectionResized, this, [this](int index, int, int size) {
        if (index < fixedCount_) {
            fixed_->resizeSection(index, size);
            placeFixed();
        }
        if (!inCode_ && index >= 0 && index < SectionCount())
            emit SectionResize(this, Sections(index));
    });
    connect(this, &QHeaderView::sectionClicked, this, [this](int index) {
        if (index >= 0 && index < SectionCount())
            emit SectionClick(this, Sections(index));
    });
    // What the user does to a fixed section happens to the section itself.
    connect(fixed_, &QHeaderView::sectionResized, this, [this](int index, int, int size) {
        if (index < fixedCount_)
            resizeSection(index, size);
    });
    connect(fixed_, &QHeaderView::sectionClicked, this, [this](int index) {
        if (index >= 0 && index < fixedCount_ && index < SectionCount())
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
    fixed_->setSectionHidden(index, index >= fixedCount_);
    THeaderSection* section = sections_.back().get();
    section->SetWidth(width);
    return section;
}

void THeaderControl::SetFixedSections(int count)
{
    // Nothing flows back from the fixed part while it is set up.
    fixedCount_ = 0;
    for (int i = 0; i < SectionCount(); ++i) {
        fixed_->resizeSection(i, sectionSize(i));
        fixed_->setSectionHidden(i, i >= count);
    }
    fixedCount_ = std::max(count, 0);
    placeFixed();
}

void THeaderControl::ScrollSections(int offset)
{
    setOffset(offset);
}

void THeaderControl::resizeEvent(QResizeEvent* event)
{
    QHeaderView::resizeEvent(event);
    placeFixed();
}

void THeaderControl::placeFixed()
{
    int width = 0;
    for (int i = 0; i < fixedCount_ && i < SectionCount(); ++i)
        width += sectionSize(i);
    fixed_->setGeometry(0, 0, width, height());
    fixed_->setVisible(width > 0);
    fixed_->raise();
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

bool THeaderControl::atFixedDivider(const QMouseEvent* event) const
{
    if (!fixed_->isVisible())
        return false;
    // The divider's grip reaches this far beyond it, where the scrolled sections lie.
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const qreal x = event->position().x();
    return x >= fixed_->width() && x < fixed_->width() + grip;
}

void THeaderControl::toFixed(QMouseEvent* event)
{
    const QPointF at = event->position() - QPointF(toFixedShift_, 0);
    QMouseEvent moved(event->type(), at, event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    QApplication::sendEvent(fixed_->viewport(), &moved);
}

bool THeaderControl::grabFixedDivider(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !atFixedDivider(event))
        return false;
    toFixed_ = true;
    toFixedShift_ = event->position().x() - (fixed_->width() - 1);
    toFixed(event);
    return true;
}

void THeaderControl::mousePressEvent(QMouseEvent* event)
{
    if (!grabFixedDivider(event))
        QHeaderView::mousePressEvent(event);
}

void THeaderControl::mouseMoveEvent(QMouseEvent* event)
{
    if (toFixed_)
        toFixed(event);
    else
        QHeaderView::mouseMoveEvent(event);
}

void THeaderControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (!toFixed_) {
        QHeaderView::mouseReleaseEvent(event);
        return;
    }
    toFixed(event);
    if (!event->buttons())
        toFixed_ = false;
}

void THeaderControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!grabFixedDivider(event))
        QHeaderView::mouseDoubleClickEvent(event);
}
