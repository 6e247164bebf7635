#include "cli/vrxtool_app.h"

int main(int argc, char** argv) {
    return vrx::cli::runVrxtool(argc, argv);
}
