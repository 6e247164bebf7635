#pragma once

#include <array>
#include <cstdint>

#include "model/program_data.h"
#include "protocol/bytes.h"
#include "protocol/result.h"

namespace vrx {

// The byte form of a ProgramData: 260 bytes, of which the first 256 travel to and
// from the unit and all 260 are kept in files.
constexpr std::size_t kImageBytes = 260;
constexpr std::size_t kBlankFillBytes = 255;  // bytes 1 to 255 start as 0xFF
constexpr std::uint8_t kFormatByteDefault = 18;
constexpr std::uint8_t kFormatByteNew = 19;

Bytes newProgramDataImage();

// Replaces every field but programNumber. Refuses an image of fewer than 256 bytes and
// then leaves `data` as it was.
Status decodeProgramData(ByteView image, ProgramData& data);
Result<ProgramData> decodeProgramData(ByteView image);

// The format byte (image byte 0) a unit with this firmware byte expects; the firmware
// byte is byte 21 of the unit's Identity Reply, 0 before any was seen.
std::uint8_t formatByteForFirmware(std::uint8_t firmwareVersionByte);

// firmwareVersionByte is byte 21 of the unit's Identity Reply, 0 before any was seen.
void encodeProgramSettings(const ProgramData& data, std::uint8_t firmwareVersionByte, Bytes& image);
void encodePinAssignments(const ProgramData& data, Bytes& image);
Bytes encodeProgramData(const ProgramData& data, std::uint8_t firmwareVersionByte = 0);

// The four PROGRAM_UPDATE messages that store the first 256 image bytes in a page.
std::array<Bytes, 4> programUpdateMessages(std::uint8_t device, unsigned page, ByteView image);

}  // namespace vrx
