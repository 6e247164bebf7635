#pragma once

namespace vrx::cli {

// Runs vrxtool with the given arguments and returns its exit status: 0 success,
// 1 the output could not be written or the unit did not answer, 2 bad input.
int runVrxtool(int argc, char** argv);

}  // namespace vrx::cli
