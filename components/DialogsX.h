#pragma once

#include <QString>

// The library's message dialogs with Portuguese captions and buttons.
void ShowMessage(const QString& text);
