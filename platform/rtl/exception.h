#pragma once

#include "platform/rtl/ansistring.h"

// The platform's error class. It is deliberately not a std::exception: code that catches
// Exception& lets the standard library's errors pass.
class Exception {
public:
    explicit Exception(const String& message) : Message(message) {}
    virtual ~Exception() = default;

    String Message;
};

// A text that is not the number or date it should be.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened, created, read or written.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// A failure of the data-access layer or a refusal of the server.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A failure of the settings store.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A failure of the report engine.
class EReportError : public Exception {
public:
    using Exception::Exception;
};
