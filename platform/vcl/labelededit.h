#pragma once

#include "platform/rtl/ansistring.h"

#include <QLineEdit>

class QLabel;

enum TLabelPosition { lpAbove, lpLeft };

// An edit field with its label above it or to its left; the label follows the field's place
// and enabled state. A read-only field looks as the style draws read-only fields or, where
// the style draws them as any other, on the window's background.
class TLabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    TLabeledEdit(const String& caption, QWidget* parent);

    QLabel* EditLabel;
    // Pixels between the label and the field.
    int LabelSpacing = 3;
    void SetLabelPosition(TLabelPosition position);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void initStyleOption(QStyleOptionFrame* option) const override;

private:
    void placeLabel();

    TLabelPosition position_ = lpAbove;
    // Whether the style draws read-only fields in a look of their own; -1 until asked.
    mutable int styleReadOnly_ = -1;
};
