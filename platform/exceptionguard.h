#pragma once

#include <exception>
#include <utility>

namespace platform {

// Shows the message of an exception that reached an event handler, as the application's default
// handler does; the program goes on.
void ShowException(const std::exception& e);
void ShowUnknownException();

// Runs a handler so that no exception unwinds through Qt: a failure is shown in a message box.
// Returns false when the handler failed.
template <typename F>
bool Guarded(F&& handler)
{
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

}  // namespace platform
