#include "EditEx.h"

TEditEx::TEditEx(QWidget* parent, const QString& name) : vorta::ui::Edit(parent, name)
{
    QLineEdit::setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TEditEx::setAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    const Qt::Alignment horizontal = alignment == taRightJustify ? Qt::AlignRight
                                     : alignment == taCenter     ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft;
    QLineEdit::setAlignment(horizontal | Qt::AlignVCenter);
}
