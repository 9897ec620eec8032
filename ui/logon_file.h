#pragma once

#include "platform/rtl/ansistring.h"

class TStringList;

// Loads the logon file into the list. A NUL character in one of its four lines makes the file
// unreadable, with the file error's text: the value would be cut at it on its way to the
// server, and a schema "k" would open in place of the one the line names.
void load_logon(TStringList& lines, const String& path);
