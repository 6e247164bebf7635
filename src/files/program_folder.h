#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// A backup keeps each program of a unit in a folder of its own as program-NNN.vrx
// (NNN its number from 1, three digits), a configuration file like any other.
std::filesystem::path programFileName(const std::filesystem::path& folder, int programNumber);

// Saves a program read from the unit as the editor would save it after loading it, in
// one atomic write. `programData` is the 256 bytes the unit sent.
Status saveProgramFile(const std::filesystem::path& folder, int programNumber, ByteView programData,
                       std::uint8_t firmwareVersionByte);

// A program file found in a folder, read: its image, or why it cannot be used.
struct ProgramFile {
    int programNumber = 0;
    std::filesystem::path path;
    Bytes image;        // the 260 bytes, empty when the file is unusable
    std::string error;  // why it is unusable
};

// The program-NNN.vrx files of a folder, by number; other files are left alone.
std::vector<ProgramFile> readProgramFolder(const std::filesystem::path& folder);

}  // namespace vrx
