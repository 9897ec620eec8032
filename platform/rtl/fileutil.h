#pragma once

#include "platform/rtl/ansistring.h"

// The system's paths are written as on Windows: a backslash, or a run of them, separates
// folders. These turn such a path into this machine's form.
String NativePath(const String& path);
bool FileExists(const String& path);
// The folder of the program file with a trailing separator, as the system writes paths.
String ExtractFilePath(const String& fileName);
