#pragma once

#include "platform/rtl/ansistring.h"

#include <QFrame>
#include <QLabel>

class QHBoxLayout;

// One panel of a status bar: a text in a sunken field of a fixed width.
class TStatusPanel : public QLabel {
    Q_OBJECT
public:
    TStatusPanel(int width, QWidget* parent);

    String Text() const { return text(); }
    void SetText(const String& value) { setText(value); }
    int Width() const { return width(); }
};

// A bar of panels along the foot of a window; the space after the last panel stays empty.
class TStatusBar : public QFrame {
    Q_OBJECT
public:
    TStatusBar(const String& name, QWidget* parent);

    TStatusPanel* AddPanel(int width);
    TStatusPanel* Panels(int index) const { return panels_.value(index); }

private:
    QHBoxLayout* row_;
    QList<TStatusPanel*> panels_;
};
