#pragma once

// What the delivery form's tests share: choosing rows of a grid by keys.
#include "platform/ui/DbGrid.h"
#include "testing/UserInput.h"

#include <initializer_list>

namespace entrega_teste {

// Ctrl+Space on each listed row of the grid (0 = first), moving with the arrows.
inline void seleciona(vorta::ui::DBGrid* grade, std::initializer_list<int> linhas)
{
    namespace user = vorta::testing::user;
    user::activate(grade);
    user::click(grade);
    user::key(Qt::Key_Home, Qt::ControlModifier);
    int em = 0;
    for (int l : linhas) {
        for (; em < l; ++em)
            user::key(Qt::Key_Down);
        for (; em > l; --em)
            user::key(Qt::Key_Up);
        user::key(Qt::Key_Space, Qt::ControlModifier);
    }
}

} // namespace entrega_teste
