#pragma once

#include "platform/rtl/exception.h"

#include <functional>

// The application's error handling: where an error goes that no caller can receive, such as
// a failing statement inside a script that goes on with its next one. The window side
// installs its handler; without one the error is written to the log.
using ApplicationErrorHandler = std::function<void(const Exception&)>;

// Returns the handler that was installed before.
ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler handler);
void HandleApplicationError(const Exception& error);
