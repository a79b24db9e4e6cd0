#pragma once
// A busy state held in two flags, for the tool dialogs' tests.

#include "common/busystate.h"

struct FlagBusyState : BusyState
{
    bool isBusy() const override { return busy; }
    void setBusy(bool on) override
    {
        busy = on;
        interrupt = false;
    }
    bool interruptRequested() const override { return interrupt; }
    void setInterruptRequested(bool on) override { interrupt = on; }

    bool busy = false;
    bool interrupt = false;
};
