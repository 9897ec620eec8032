#pragma once

#include "platform/data/myconnection.h"
#include "platform/rtl/stringlist.h"

#include <functional>
#include <string>
#include <vector>

// A text of several statements, each ended by a semicolon; lines that begin with "--" are
// comments. A statement that fails goes to OnError, or to the application's error handling
// when none is set, and the script goes on with the next one.
class TMyScript : public TComponent {
public:
    explicit TMyScript(TComponent* owner = nullptr) : TComponent(owner) {}

    TMyConnection* Connection = nullptr;
    TStringList SQL;
    std::function<void(const Exception&)> OnError;

    // Raises only when the script cannot start, such as a failure to connect.
    void Execute();
    // How many statements failed in the last Execute.
    int ErrorCount() const { return errors_; }

    // The statements of a script text, without their semicolons.
    static std::vector<std::string> Split(const TStringList& lines);

private:
    int errors_ = 0;
};
