#pragma once

namespace platform {

// Shows the hourglass cursor for the scope and puts back the cursor that was there, also when
// an exception leaves the scope. Does nothing without a GUI application.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    bool FActive;
};

}  // namespace platform
