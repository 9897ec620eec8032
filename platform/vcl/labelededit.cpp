#include "platform/vcl/labelededit.h"

#include <QEvent>
#include <QLabel>
#include <QStyleOptionFrame>

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
}

void TLabeledEdit::initStyleOption(QStyleOptionFrame* option) const
{
    QLineEdit::initStyleOption(option);
    if (!isReadOnly())
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
