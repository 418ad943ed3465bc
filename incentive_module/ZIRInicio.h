#pragma once

// Creates what lives for the whole run of the program, in this order: the common data
// module (which connects the common database), the menu form (the first form, hence
// the main form), the module's data module (its own connection to the same folder) and
// the municipality register used for lookups. Each lands in its global variable. The map
// form's hooks are then bound to the raiser and technician registers and to the map sheet.
// A start-up without the shell's handle ends with the silent abort from the menu form.
void CriaObjetosDoZIR();
