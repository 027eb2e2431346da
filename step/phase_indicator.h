#pragma once

#include "step_cancel.h"
#include "step_progress.h"

#include <Message_ProgressIndicator.hxx>

// OpenCASCADE's count of one phase's work, handed to `progress`; a cancel
// stops the work at its next step.
class PhaseIndicator : public Message_ProgressIndicator {
public:
    PhaseIndicator(const StepCancel& cancel, StepProgress& progress) : cancel_(cancel), progress_(progress) {}
    Standard_Boolean UserBreak() override { return cancel_.cancelled(); }
    void Show(const Message_ProgressScope&, const Standard_Boolean) override { progress_.advance(GetPosition()); }

private:
    const StepCancel& cancel_;
    StepProgress& progress_;
};
