#pragma once

// TwExport: writes a remittance file from a dataset's records, with progress on a bar
// and two labels; failures are recorded and passed on to the caller.

#include "RemessaExport.h"

namespace vorta::ui {
class Label;
class ProgressBar;
}

class TwExport : public TRemessaExport {
public:
    explicit TwExport(vorta::Component* owner = nullptr);

    bool UpDate = false;
    bool ShowProgress = false;
    vorta::ui::ProgressBar* ProgressBar = nullptr;
    vorta::ui::Label* DisplayLabel = nullptr;
    vorta::ui::Label* NumberLabel = nullptr;

    void Execute();

    void notification(vorta::Component* component, Operation operation) override;
};
