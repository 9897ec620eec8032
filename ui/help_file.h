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
