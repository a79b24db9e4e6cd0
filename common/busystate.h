#pragma once
// The busy state of whoever keeps the open book, as long work over the book
// (the tools' runs) sees it: the work sets busy while it runs and stops once
// an interrupt was requested.

class BusyState
{
public:
    virtual ~BusyState() = default;

    virtual bool isBusy() const = 0;
    // Entering or leaving busy mode clears the interrupt request.
    virtual void setBusy(bool on) = 0;
    virtual bool interruptRequested() const = 0;
    virtual void setInterruptRequested(bool on) = 0;
};
