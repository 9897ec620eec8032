#pragma once

#include "platform/rtl/ansistring.h"

#include <initializer_list>

// Modal results.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };

// A modal message box with its type's icon and German captions; returns the modal result of
// the button pressed (its close box counts as Cancel, or as the only button).
int MessageDlg(const String& message, TMsgDlgType type, std::initializer_list<TMsgDlgBtn> buttons,
               int helpContext);

// A modal box with one text field: the text after OK, the default after Cancel or close.
String InputBox(const String& caption, const String& prompt, const String& defaultText);
