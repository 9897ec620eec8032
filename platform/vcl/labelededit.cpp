#include "platform/vcl/labelededit.h"

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Whether the style gives a read-only field a look of its own.
bool styleShowsReadOnly(const QLineEdit* edit, QStyleOptionFrame probe)
{
    probe.rect = QRect(0, 0, 32, 16);
    QImage images[2];
    for (int readOnly = 0; readOnly < 2; ++readOnly) {
        if (readOnly)
            probe.state |= QStyle::State_ReadOnly;
        else
            probe.state &= ~QStyle::State_ReadOnly;
        images[readOnly] = QImage(probe.rect.size(), QImage::Format_ARGB32_Premultiplied);
        images[readOnly].fill(Qt::transparent);
        QPainter painter(&images[readOnly]);
        edit->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &probe, &painter, edit);
    }
    return images[0] != images[1];
}

} // namespace

TLabeledEdit::TLabeledEdit(const String& caption, QWidget* parent)
    : QLineEdit(parent), EditLabel(new QLabel(caption, parent))
{
    EditLabel->setBuddy(this);
    EditLabel->adjustSize();
    placeLabel();
}

void TLabeledEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    placeLabel();
}

void TLabeledEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeLabel();
}

void TLabeledEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        EditLabel->setEnabled(isEnabled());
    else if (event->type() == QEvent::FontChange)
        EditLabel->adjustSize();
    else if (event->type() == QEvent::StyleChange)
        styleReadOnly_ = -1;
}

void TLabeledEdit::initStyleOption(QStyleOptionFrame* option) const
{
    QLineEdit::initStyleOption(option);
    if (!isReadOnly())
        return;
    if (styleReadOnly_ < 0)
        styleReadOnly_ = styleShowsReadOnly(this, *option) ? 1 : 0;
    if (styleReadOnly_)
        return;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        option->palette.setBrush(group, QPalette::Base,
                                 option->palette.brush(group, QPalette::Window));
}

void TLabeledEdit::SetLabelPosition(TLabelPosition position)
{
    position_ = position;
    placeLabel();
}

void TLabeledEdit::placeLabel()
{
    if (position_ == lpLeft)
        EditLabel->move(x() - EditLabel->width() - LabelSpacing,
                        y() + (height() - EditLabel->height()) / 2);
    else
        EditLabel->move(x(), y() - EditLabel->height() - LabelSpacing);
}
