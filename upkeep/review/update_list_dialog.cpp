// Placeholder until the update list dialog exists: nothing opens, so a check that
// finds updates only reports them on the console.
#include "update_list_dialog.h"

HWND AUULD::Open(const JSONValuePtr&, bool, bool, bool) { return nullptr; }
bool AUULD::Flash(bool) { return true; }
