// Placeholder until the consent dialog exists: nothing opens, so no check starts
// while consent has not been asked.
#include "first_run_dialog.h"

void AUFirstRun::Open(HWND) {}
