#pragma once

#include <QRect>

#include <optional>

namespace vorta::os {

// A rectangle as the system gives it: right and bottom are exclusive edges.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// The desktop work area (the screen less panels). VORTA_WORKAREA="left,top,width,height"
// fixes it, as does an override that tests set.
Rect workArea();
void setWorkAreaOverride(std::optional<Rect> area);

} // namespace vorta::os
