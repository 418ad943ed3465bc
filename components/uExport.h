#pragma once

// TwExporta: writes a remittance file from a dataset's records, reporting progress as
// a percentage; it raises nothing and tells success by its result.

#include "RemessaExport.h"

#include <functional>

class TwExporta : public TRemessaExport {
public:
    using ProgressEvent = std::function<void(vorta::Component* sender, int percent)>;

    explicit TwExporta(vorta::Component* owner = nullptr);

    bool Step = false;
    ProgressEvent OnProgress;

    // True when the file was written.
    bool Execute();
};
