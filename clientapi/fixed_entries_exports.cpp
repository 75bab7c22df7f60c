// Entry points that older clients still call and that have nothing left to do.
#include "cvxlib.h"

extern "C" {

int InitCallBack(void) {
    return 1;
}

void FreeCallBack(void) {}

int GetUsing16BitDLL(void) {
    return 0;
}

void CvxDockMidiInput(HWND) {}

} // extern "C"
