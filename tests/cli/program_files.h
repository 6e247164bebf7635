#pragma once

// Programs in .vrx files and in the simulated unit, as the device commands' tests
// compare them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/in_process_vrxtool.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/messages.h"

namespace vrx::cli {

// A .vrx file whose image holds `programData`, the rest as a new configuration's.
inline void saveProgramFile(const std::filesystem::path& path, ByteView programData) {
    Bytes image = newProgramDataImage();
    std::copy(programData.begin(), programData.end(), image.begin());
    ASSERT_TRUE(writeConfigFile(path, image));
}

// The program a .vrx file holds; empty when it holds none.
inline Bytes programInFile(const std::filesystem::path& path) {
    const auto contents = readConfigFile(path);
    const auto* image = std::get_if<Bytes>(&contents);
    return image == nullptr ? Bytes{} : Bytes(image->begin(), image->begin() + kProgramBytes);
}

// The PROGRAM_UPDATE messages the unit got during the last command.
inline int updatesReceived(const VirtualHost& host) {
    return static_cast<int>(
        std::ranges::count_if(host.received, [](const Bytes& m) { return isProgramUpdate(m); }));
}

}  // namespace vrx::cli
