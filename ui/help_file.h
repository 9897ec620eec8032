#pragma once

#include "platform/rtl/ansistring.h"

#include <QtGlobal>

// The program's help file: a Qt help collection beside the program, whose pages the help
// viewer shows. Which page belongs to a help context or keyword is the help file's own
// business: its index names the contexts as identifiers and the keywords as they are.

// The help collection in the program's folder, else in the shared data folder of an
// installed program (<folder>/../share/kollektar); empty when neither holds one.
String help_collection(const String& programFolder);

// The address of the page for a help request (HELP_CONTEXT with its number, HELP_KEY with its
// keyword); the help file's start page where it has none for the request; empty when the
// collection cannot be read.
String help_topic(const String& collection, quint16 command, qint64 data);

// Readies the help viewer's own copy of the collection before the viewer is started on it.
// The viewer keeps one copy per user, in the user's data folder, shared by every copy of the
// program, and goes on using the help file that copy names. A copy that names another help
// file than the collection does (that of another copy of the program, or one that is gone),
// or that cannot be read, is removed with its search index, so that the viewer copies the
// collection afresh.
void check_help_copy(const String& collection);
