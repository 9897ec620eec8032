#pragma once

#include "platform/rtl/ansistring.h"

#include <QLineEdit>

class QLabel;

enum TLabelPosition { lpAbove, lpLeft };

// An edit field with its label above it or to its left; the label follows the field's place
// and enabled state. A read-only field is drawn on the window's background, not as a field
// that takes typing.
class TLabeledEdit : public QLineEdit {
    Q_OBJECT
public:
    TLabeledEdit(const String& caption, QWidget* parent);

    QLabel* EditLabel;
    // Pixels between the label and the field.
    int LabelSpacing = 3;
    TLabelPosition LabelPosition() const { return position_; }
    void SetLabelPosition(TLabelPosition position);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void initStyleOption(QStyleOptionFrame* option) const override;

private:
    void placeLabel();

    TLabelPosition position_ = lpAbove;
};
