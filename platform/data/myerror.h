#pragma once

#include "platform/rtl/exception.h"

// A failure reported by the server or the client library, with the server's message.
class EMyError : public EDatabaseError {
public:
    EMyError(const String& message, unsigned code) : EDatabaseError(message), ErrorCode(code) {}
    unsigned ErrorCode;
};

// The connection was lost after a commit was sent: whether it took effect is not known.
class EMyCommitUnknown : public EMyError {
public:
    using EMyError::EMyError;
};
