#pragma once

#include "platform/rtl/ansistring.h"

#include <QFrame>
#include <QToolButton>

class QHBoxLayout;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class TAction;

// A ribbon: an application button with its menu, a quick access toolbar, a row of tabs with
// a help button, and one page per tab holding labelled groups of buttons. Every button runs
// an action and shows its picture, hint and help; its caption may differ from the action's.

class TRibbonButton : public QToolButton {
    Q_OBJECT
public:
    enum Size { Large, Small };
    TRibbonButton(TAction* action, const String& caption, Size size, QWidget* parent);

    TAction* Action() const { return action_; }

private:
    void sync();

    TAction* action_;
    String caption_;
};

class TRibbonGroup : public QFrame {
    Q_OBJECT
public:
    TRibbonGroup(const String& name, const String& caption, QWidget* parent);

    String Caption() const;
    // With an empty caption the button shows the action's caption.
    TRibbonButton* AddItem(TAction* action, const String& caption = String());
    QList<TRibbonButton*> Items() const { return items_; }

private:
    QHBoxLayout* row_;
    QLabel* caption_;
    QList<TRibbonButton*> items_;
};

class TRibbonPage : public QWidget {
    Q_OBJECT
public:
    TRibbonPage(const String& name, const String& caption, QWidget* parent);

    const String Caption;
    TRibbonGroup* AddGroup(const String& name, const String& caption);
    QList<TRibbonGroup*> Groups() const { return groups_; }

private:
    QHBoxLayout* row_;
    QList<TRibbonGroup*> groups_;
};

class TRibbon : public QWidget {
    Q_OBJECT
public:
    TRibbon(const String& name, QWidget* parent);

    void SetCaption(const String& caption);
    String Caption() const;

    TRibbonPage* AddPage(const String& name, const String& caption);
    int TabCount() const { return static_cast<int>(pages_.size()); }
    TRibbonPage* Page(int index) const { return pages_.value(index); }
    int TabIndex() const;
    void SetTabIndex(int index);
    TRibbonPage* ActivePage() const { return Page(TabIndex()); }
    void SetActivePage(TRibbonPage* page) { SetTabIndex(static_cast<int>(pages_.indexOf(page))); }

    // The application button and the menu it opens.
    QToolButton* ApplicationButton() const { return appButton_; }
    QMenu* ApplicationMenu() const { return appMenu_; }
    // An entry of the application menu that only opens its submenu.
    QMenu* AddApplicationMenuItem(const String& caption, const QIcon& icon);
    // The command at the foot of the application menu.
    void AddApplicationOption(TAction* action);
    // Alt and this letter open the application menu.
    void SetApplicationKeyTip(const String& letter);

    QWidget* QuickAccessToolbar() const { return quickBar_; }
    TRibbonButton* AddQuickAccess(TAction* action, const String& caption);
    QList<TRibbonButton*> QuickAccessItems() const { return quick_; }

    QToolButton* HelpButton() const { return helpButton_; }

signals:
    void HelpButtonClick();

private:
    QLabel* caption_;
    QToolButton* appButton_;
    QMenu* appMenu_;
    QWidget* quickBar_;
    QHBoxLayout* quickRow_;
    QList<TRibbonButton*> quick_;
    QTabBar* tabs_;
    QToolButton* helpButton_;
    QStackedWidget* stack_;
    QList<TRibbonPage*> pages_;
};
