#include "platform/rtl/apperror.h"

#include <QDebug>

#include <utility>

namespace {
ApplicationErrorHandler& handler()
{
    static ApplicationErrorHandler h;
    return h;
}
} // namespace

ApplicationErrorHandler SetApplicationErrorHandler(ApplicationErrorHandler h)
{
    return std::exchange(handler(), std::move(h));
}

void HandleApplicationError(const Exception& error)
{
    if (handler())
        handler()(error);
    else
        qWarning().noquote() << error.Message;
}
