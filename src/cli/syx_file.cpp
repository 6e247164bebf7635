#include "cli/syx_file.h"

#include <algorithm>
#include <string>

#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"
#include "protocol/response_gatherer.h"

namespace vrx::cli {
namespace {

std::string hexByte(std::uint8_t value) {
    return "0x" + byteToHex2(value);
}

std::string whereIs(const SysexMessage& message, std::size_t number) {
    return "message " + std::to_string(number) + " (byte " + std::to_string(message.offset + 1) +
           ")";
}

// The image is the program's 256 bytes followed by bytes the unit never sees, as 0.
Bytes imageOf(ByteView program) {
    Bytes image(kImageBytes, 0);
    std::copy_n(program.begin(), kProgramBytes, image.begin());
    return image;
}

Result<Bytes> gatherResponses(const std::vector<SysexMessage>& messages,
                              std::vector<std::string>& notes) {
    ResponseGatherer gatherer;
    for (std::size_t i = 0; i < messages.size() && !gatherer.complete(); ++i) {
        const auto& message = messages[i];
        if (!isProgramResponse(message.bytes)) {
            notes.push_back("note: skipped " + whereIs(message, i + 1) +
                            ", which is not a PROGRAM_RESPONSE");
            continue;
        }
        const auto unpacked = gatherer.append(message.bytes);
        for (const auto position : unpacked.badPositions) {
            const std::size_t at = message.offset + kResponseHeaderBytes + position;
            notes.push_back("warning: skipped the stray byte " +
                            hexByte(message.bytes[kResponseHeaderBytes + position - 1]) +
                            " at byte " + std::to_string(at) + " in " + whereIs(message, i + 1));
        }
    }
    if (!gatherer.complete()) {
        return Result<Bytes>::failure("the PROGRAM_RESPONSE messages hold " +
                                      std::to_string(gatherer.data().size()) + " of the " +
                                      std::to_string(kProgramBytes) + " bytes of a program");
    }
    return imageOf(gatherer.data());
}

Result<Bytes> placeUpdates(const std::vector<SysexMessage>& messages) {
    Bytes program(kProgramBytes, 0);
    std::vector<bool> filled(kProgramBytes, false);
    std::optional<unsigned> page;
    std::size_t pageMessage = 0;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const auto& message = messages[i];
        if (!isProgramUpdate(message.bytes)) {
            continue;
        }
        const auto block = parseProgramUpdate(message.bytes);
        if (!block) {
            return Result<Bytes>::failure(whereIs(message, i + 1) +
                                          ": the PROGRAM_UPDATE is broken (its length byte or "
                                          "packed data do not fit)");
        }
        const unsigned blockPage = block->address / kProgramBytes;
        if (page && *page != blockPage) {
            return Result<Bytes>::failure(
                whereIs(message, i + 1) + ": the PROGRAM_UPDATE is for program " +
                std::to_string(blockPage + 1) + ", but message " + std::to_string(pageMessage) +
                " was for program " + std::to_string(*page + 1));
        }
        page = blockPage;
        pageMessage = i + 1;
        const auto offset = block->address % kProgramBytes;
        if (offset + block->data.size() > kProgramBytes) {
            return Result<Bytes>::failure(whereIs(message, i + 1) + ": the PROGRAM_UPDATE runs " +
                                          "past the end of its program");
        }
        std::copy(block->data.begin(), block->data.end(), program.begin() + offset);
        std::fill_n(filled.begin() + offset, block->data.size(), true);
    }
    const auto missing = static_cast<std::size_t>(std::count(filled.begin(), filled.end(), false));
    if (missing > 0) {
        const auto first = std::find(filled.begin(), filled.end(), false) - filled.begin();
        return Result<Bytes>::failure(
            "the PROGRAM_UPDATE messages hold " + std::to_string(kProgramBytes - missing) +
            " of the " + std::to_string(kProgramBytes) +
            " bytes of a program; the first missing is byte " + std::to_string(first + 1));
    }
    return imageOf(program);
}

}  // namespace

Result<std::vector<SysexMessage>> splitSysexFile(ByteView file) {
    using Failure = Result<std::vector<SysexMessage>>;
    std::vector<SysexMessage> messages;
    std::size_t start = 0;
    while (start < file.size()) {
        if (file[start] != kSysexStart) {
            return Failure::failure("byte " + std::to_string(start + 1) + ": " +
                                    hexByte(file[start]) + " lies outside a SysEx message");
        }
        auto end = start + 1;
        while (end < file.size() && file[end] != kSysexEnd && file[end] != kSysexStart) {
            ++end;
        }
        if (end == file.size()) {
            return Failure::failure("byte " + std::to_string(start + 1) +
                                    ": the SysEx message that starts here has no F7");
        }
        if (file[end] != kSysexEnd) {
            return Failure::failure("byte " + std::to_string(end + 1) + ": " + hexByte(file[end]) +
                                    " inside the SysEx message of byte " +
                                    std::to_string(start + 1));
        }
        messages.push_back({Bytes(file.begin() + static_cast<long>(start),
                                  file.begin() + static_cast<long>(end) + 1),
                            start});
        start = end + 1;
    }
    return messages;
}

Bytes joinSysexFile(const std::vector<Bytes>& messages) {
    Bytes file;
    for (const auto& message : messages) {
        file.insert(file.end(), message.begin(), message.end());
    }
    return file;
}

Result<Bytes> imageFromDump(const std::vector<SysexMessage>& messages,
                            std::vector<std::string>& notes) {
    const auto has = [&messages](bool (*kind)(ByteView)) {
        return std::any_of(messages.begin(), messages.end(),
                           [kind](const SysexMessage& m) { return kind(m.bytes); });
    };
    if (has(isProgramResponse)) {
        return gatherResponses(messages, notes);
    }
    if (has(isProgramUpdate)) {
        return placeUpdates(messages);
    }
    return Result<Bytes>::failure("holds no PROGRAM_RESPONSE or PROGRAM_UPDATE message");
}

}  // namespace vrx::cli
