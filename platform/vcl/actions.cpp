#include "platform/vcl/actions.h"

#include "platform/vcl/application.h"
#include "platform/vcl/image_list.h"

TAction::TAction(QObject* parent, const String& name) : QAction(parent)
{
    setObjectName(name);
}

void TAction::SetHint(const String& hint)
{
    hint_ = hint;
    setToolTip(GetShortHint(hint));
    setStatusTip(GetLongHint(hint));
}

TAction* TActionManager::Add(const String& name, const String& category, const String& caption,
                             const String& hint, int helpContext, int imageIndex)
{
    auto* action = new TAction(this, name);
    action->Category = category;
    action->setText(caption);
    action->SetHint(hint);
    action->HelpContext = helpContext;
    action->ImageIndex = imageIndex;
    if (Images)
        action->setIcon(Images->Icon(imageIndex));
    return action;
}
