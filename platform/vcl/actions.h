#pragma once

#include "platform/rtl/ansistring.h"

#include <QAction>

class TImageList;

enum THelpType { htKeyword, htContext };

// A command: caption, category, image, hint "short|long" and help, run by every button and
// menu entry that shows it. Its handler is connected to triggered().
class TAction : public QAction {
    Q_OBJECT
public:
    TAction(QObject* parent, const String& name);

    String Category;
    int ImageIndex = -1;
    int HelpContext = 0;
    THelpType HelpType = htContext;
    String HelpKeyword;

    String Hint() const { return hint_; }
    void SetHint(const String& hint);

private:
    String hint_;
};

// Holds the commands of a window and the pictures they show.
class TActionManager : public QObject {
    Q_OBJECT
public:
    explicit TActionManager(QObject* parent) : QObject(parent) {}

    TImageList* Images = nullptr;
    String Style;

    TAction* Add(const String& name, const String& category, const String& caption,
                 const String& hint, int helpContext, int imageIndex);
};
