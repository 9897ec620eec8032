#include "platform/vcl/statusbar.h"

#include <QHBoxLayout>

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedWidth(width);
    setIndent(2);
    setTextFormat(Qt::PlainText);
}

TStatusBar::TStatusBar(const String& name, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 1, 0, 0);
    row_->setSpacing(2);
    row_->addStretch(1);
}

TStatusPanel* TStatusBar::AddPanel(int width)
{
    auto* panel = new TStatusPanel(width, this);
    panel->setObjectName(QStringLiteral("panel%1").arg(panels_.size()));
    row_->insertWidget(row_->count() - 1, panel);
    panels_.append(panel);
    return panel;
}
