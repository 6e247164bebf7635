#pragma once

#include "cli/session_host.h"

namespace vrx::cli {

// Runs vrxtool with the given arguments and returns its exit status: 0 success; 1 the
// unit, the cable or an output failed, or Ctrl+C stopped it; 2 bad input, refused before
// anything was sent; 3 done, but the unit did not get its restart message.
// The device commands run on `host`'s clock and take its interrupts.
int runVrxtool(int argc, char** argv, SessionHost& host);
int runVrxtool(int argc, char** argv);

}  // namespace vrx::cli
