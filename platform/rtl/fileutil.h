#pragma once

#include "platform/rtl/ansistring.h"

// The system's paths are written as on Windows: a backslash, or a run of them, separates
// folders. These turn such a path into this machine's form.
String NativePath(const String& path);
bool FileExists(const String& path);
// The folder of the program file with a trailing separator, as the system writes paths.
String ExtractFilePath(const String& fileName);

// Makes the folder with every missing folder above it. Each folder made here is open to its
// owner only, whatever the process's umask; folders that exist stay as they are. False when
// the folder is not there afterwards.
bool ForceDirectories(const String& path);
// Takes every access of other accounts from the file (its owner keeps what it has); a missing
// file is made, empty, readable and writable by its owner only. A file written over it in
// place or through a save file keeps that. False when it is neither there nor made.
bool MakePrivate(const String& fileName);
