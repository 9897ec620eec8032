#include "platform/vcl/ribbon.h"

#include "platform/vcl/actions.h"
#include "platform/vcl/application.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

// The "Ribbon - Luna" look: pale blue pages, framed groups, buttons lit when hovered.
const char* kLuna = R"(
TRibbonGroup { border: 1px solid #9ebfdb; border-radius: 3px;
               background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f5f9fd, stop:1 #dbe8f6); }
QLabel#group_caption { color: #15428b; }
QLabel#ribbon_caption { color: #15428b; font-weight: bold; }
QToolButton { border: 1px solid transparent; border-radius: 2px; padding: 1px; }
QToolButton:hover { background: #ffe8a6; border-color: #ffbd69; }
QToolButton:pressed { background: #fbbe72; border-color: #c2762b; }
QToolButton::menu-indicator { image: none; }
QToolButton#application_button { padding: 0px; border: none; }
QTabBar::tab { padding: 2px 12px; border: 1px solid transparent; color: #15428b; }
QTabBar::tab:selected { background: #f5f9fd; border: 1px solid #9ebfdb; border-bottom: none;
                        border-top-left-radius: 3px; border-top-right-radius: 3px; }
)";

} // namespace

TRibbonButton::TRibbonButton(TAction* action, const String& caption, Size size, QWidget* parent)
    : QToolButton(parent), action_(action), caption_(caption)
{
    setObjectName(action->objectName());
    setAutoRaise(true);
    if (size == Large) {
        setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        setIconSize(QSize(32, 32));
        setMinimumWidth(52);
    } else {
        setToolButtonStyle(Qt::ToolButtonIconOnly);
        setIconSize(QSize(16, 16));
    }
    connect(this, &QToolButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, this, &TRibbonButton::sync);
    sync();
}

void TRibbonButton::sync()
{
    setText(caption_.isEmpty() ? action_->text() : caption_);
    setIcon(action_->icon());
    setEnabled(action_->isEnabled());
    setVisible(action_->isVisible());
    SetHint(this, action_->Hint());
    if (action_->HelpType == htKeyword)
        SetHelpKeyword(this, action_->HelpKeyword);
    else
        SetHelpContext(this, action_->HelpContext);
}

TRibbonGroup::TRibbonGroup(const String& name, const String& caption, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 2, 3, 0);
    layout->setSpacing(0);
    row_ = new QHBoxLayout;
    row_->setSpacing(2);
    row_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(row_, 1);
    caption_ = new QLabel(caption, this);
    caption_->setObjectName(QStringLiteral("group_caption"));
    caption_->setAlignment(Qt::AlignHCenter);
    layout->addWidget(caption_);
}

String TRibbonGroup::Caption() const
{
    return caption_->text();
}

TRibbonButton* TRibbonGroup::AddItem(TAction* action, const String& caption)
{
    auto* button = new TRibbonButton(action, caption, TRibbonButton::Large, this);
    row_->addWidget(button, 0, Qt::AlignTop);
    items_.append(button);
    return button;
}

TRibbonPage::TRibbonPage(const String& name, const String& caption, QWidget* parent)
    : QWidget(parent), Caption(caption)
{
    setObjectName(name);
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(4, 1, 4, 1);
    row_->setSpacing(4);
    row_->addStretch(1);
}

TRibbonGroup* TRibbonPage::AddGroup(const String& name, const String& caption)
{
    auto* group = new TRibbonGroup(name, caption, this);
    row_->insertWidget(row_->count() - 1, group);
    groups_.append(group);
    return group;
}

TRibbon::TRibbon(const String& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setStyleSheet(QString::fromLatin1(kLuna));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xbf, 0xdb, 0xff));
    setPalette(p);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);

    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    appButton_ = new QToolButton(this);
    appButton_->setObjectName(QStringLiteral("application_button"));
    appButton_->setIconSize(QSize(32, 32));
    appButton_->setPopupMode(QToolButton::InstantPopup);
    appMenu_ = new QMenu(appButton_);
    appMenu_->setObjectName(QStringLiteral("application_menu"));
    appButton_->setMenu(appMenu_);
    top->addWidget(appButton_);
    quickBar_ = new QWidget(this);
    quickBar_->setObjectName(QStringLiteral("quick_access"));
    quickRow_ = new QHBoxLayout(quickBar_);
    quickRow_->setContentsMargins(0, 0, 0, 0);
    quickRow_->setSpacing(0);
    top->addWidget(quickBar_, 0, Qt::AlignVCenter);
    top->addStretch(1);
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("ribbon_caption"));
    top->addWidget(caption_);
    top->addStretch(1);
    layout->addLayout(top);

    auto* tabRow = new QHBoxLayout;
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("ribbon_tabs"));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabRow->addWidget(tabs_);
    tabRow->addStretch(1);
    helpButton_ = new QToolButton(this);
    helpButton_->setObjectName(QStringLiteral("help_button"));
    helpButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarContextHelpButton));
    helpButton_->setText(QStringLiteral("?"));
    helpButton_->setAutoRaise(true);
    connect(helpButton_, &QToolButton::clicked, this, &TRibbon::HelpButtonClick);
    tabRow->addWidget(helpButton_);
    layout->addLayout(tabRow);

    stack_ = new QStackedWidget(this);
    layout->addWidget(stack_, 1);
    connect(tabs_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
}

void TRibbon::SetCaption(const String& caption)
{
    caption_->setText(caption);
}

String TRibbon::Caption() const
{
    return caption_->text();
}

TRibbonPage* TRibbon::AddPage(const String& name, const String& caption)
{
    auto* page = new TRibbonPage(name, caption, stack_);
    stack_->addWidget(page);
    pages_.append(page);
    tabs_->addTab(caption);
    return page;
}

int TRibbon::TabIndex() const
{
    return tabs_->currentIndex();
}

void TRibbon::SetTabIndex(int index)
{
    if (index >= 0 && index < TabCount())
        tabs_->setCurrentIndex(index);
}

QMenu* TRibbon::AddApplicationMenuItem(const String& caption, const QIcon& icon)
{
    return appMenu_->addMenu(icon, caption);
}

void TRibbon::AddApplicationOption(TAction* action)
{
    appMenu_->addSeparator();
    appMenu_->addAction(action);
}

void TRibbon::SetApplicationKeyTip(const String& letter)
{
    auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Alt+") + letter), this);
    connect(shortcut, &QShortcut::activated, appButton_, &QToolButton::showMenu);
}

TRibbonButton* TRibbon::AddQuickAccess(TAction* action, const String& caption)
{
    auto* button = new TRibbonButton(action, caption, TRibbonButton::Small, quickBar_);
    quickRow_->addWidget(button);
    quick_.append(button);
    return button;
}
