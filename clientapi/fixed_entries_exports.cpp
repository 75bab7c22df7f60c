// Entry points that older clients still call and that have nothing left to do.
#include "cvxlib.h"

extern "C" {

int InitCallBack(void) noexcept {
    return 1;
}

void FreeCallBack(void) noexcept {}

int GetUsing16BitDLL(void) noexcept {
    return 0;
}

void CvxDockMidiInput(HWND) noexcept {}

} // extern "C"
