#pragma once

namespace forms {

// The two window events a window of the program may handle. The window registry raises them:
// Load once when the window is created, before it is first shown; Activate whenever the
// program shows the window and whenever the user moves to it from another window of the
// program (not when coming back from another application).
class FormEvents {
public:
    virtual ~FormEvents() = default;
    virtual void formLoad() {}
    virtual void formActivate() {}
};

} // namespace forms
