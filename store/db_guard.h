#pragma once

#include "platform/rtl/exception.h"

#include <utility>

namespace store {

// Before an operation: a connection that the server ended while it stood idle is noticed, so
// that the operation's first statement connects anew (TMyConnection::Revive).
void revive();

// The gateway's failure convention in one place: run the work; on an Exception run the
// release step and raise a new Exception with the caught text followed by the sentence.
// A release step that raises itself passes out in place of the original error. Other
// errors pass unchanged, without the release. The work starts on a revived connection.
template <class Work, class Release>
auto guarded(const char* sentence, Release&& release, Work&& work) -> decltype(work())
{
    revive();
    try {
        return work();
    } catch (const Exception& e) {
        const String message = e.Message + QString::fromUtf8(sentence);
        release();
        throw Exception(message);
    }
}

template <class Work> auto guarded(const char* sentence, Work&& work) -> decltype(work())
{
    return guarded(
        sentence, [] {}, std::forward<Work>(work));
}

} // namespace store
