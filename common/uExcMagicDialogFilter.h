#pragma once

#include "platform/ipc/ExceptionReporter.h"

// The framework's exception-dialog filter: one line "message (class, module)" in the
// report, its first log line to the debug output, and the exception's own text alone
// in the simple message dialog.
class TNewDialogFilter : public vorta::ipc::ExceptionFilter {
public:
    bool ExceptionMessage(vorta::ipc::ExceptionInfo& info) override;
    bool LogException(vorta::ipc::ExceptionInfo& info) override;
    bool ShowException(const std::exception& e, vorta::ipc::ExceptionInfo& info) override;
};
