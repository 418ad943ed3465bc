#pragma once

#include "platform/ui/Controls.h"

using vorta::ui::TAlignment;
using vorta::ui::taCenter;
using vorta::ui::taLeftJustify;
using vorta::ui::taRightJustify;

// An edit box whose text stands left, right or centred.
class TEditEx : public vorta::ui::Edit {
    Q_OBJECT
public:
    explicit TEditEx(QWidget* parent, const QString& name = QString());
    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);

private:
    TAlignment m_alignment = taLeftJustify;
};
