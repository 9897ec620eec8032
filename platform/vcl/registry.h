#pragma once

#include "platform/rtl/exception.h"

#include <QSettings>

#include <memory>

enum class HKEY { HKEY_CURRENT_USER };
constexpr HKEY HKEY_CURRENT_USER = HKEY::HKEY_CURRENT_USER;

// The per-user registry, kept in a settings file of this user (readable by no one else).
// Keys and value names ignore letter case; a key path that begins with a backslash starts at
// the root, any other at the root too (there is no current key between calls). Values are
// typed: REG_SZ texts and REG_DWORD numbers.
//
// The shell folder "Local AppData" of the current user, which Windows keeps in this
// registry, reads as the user's local data folder where no value is stored.
class TRegistry {
public:
    TRegistry();
    ~TRegistry();

    HKEY RootKey = HKEY_CURRENT_USER;

    bool KeyExists(const String& key);
    // Opens the key; with canCreate a missing key is created. False when it does not exist.
    bool OpenKey(const String& key, bool canCreate);
    bool CreateKey(const String& key);
    void CloseKey();

    bool ValueExists(const String& name);
    // A missing value reads as the empty text; a value of another type raises.
    String ReadString(const String& name);
    // A missing value, or one of another type, raises ERegistryException.
    int ReadInteger(const String& name);
    void WriteString(const String& name, const String& value);
    void WriteInteger(const String& name, int value);

    // Where the registry is kept.
    static String FileName();

private:
    String valueKey(const String& name) const;
    void requireOpen() const;
    void commit(const String& name);

    std::unique_ptr<QSettings> settings_;
    String current_;
    bool open_ = false;
};
