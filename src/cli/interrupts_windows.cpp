#include <windows.h>

#include <atomic>

#include "cli/interrupts.h"

namespace vrx::cli {
namespace {

// Windows calls the handler on a thread of its own.
std::atomic<int> interruptCount = 0;

BOOL WINAPI countInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    interruptCount.fetch_add(1);
    return TRUE;
}

}  // namespace

// Ctrl+C and Ctrl+Break of the console take the place of SIGINT and SIGTERM.
InterruptCounter::InterruptCounter() {
    interruptCount = 0;
    SetConsoleCtrlHandler(countInterrupt, TRUE);
}

InterruptCounter::~InterruptCounter() {
    SetConsoleCtrlHandler(countInterrupt, FALSE);
}

int InterruptCounter::count() const {
    return interruptCount.load();
}

}  // namespace vrx::cli
