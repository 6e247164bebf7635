#include <cstddef>
#include <cstdint>

#include "model/program_image.h"
#include "protocol/messages.h"

// Any bytes a unit or a file delivers decode without a crash, and from then on the
// configuration is stable: what the editor writes back reads back the same way.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vrx::ByteView image(data, size);
    const auto decoded = vrx::decodeProgramData(image);
    if (size < vrx::kProgramBytes) {
        if (decoded) {
            __builtin_trap();
        }
        (void)vrx::programUpdateMessages(0, 0, image);
        return 0;
    }
    if (!decoded) {
        __builtin_trap();
    }
    const auto written = vrx::encodeProgramData(*decoded);
    const auto reread = vrx::decodeProgramData(written);
    if (written.size() != vrx::kImageBytes || !reread ||
        vrx::encodeProgramData(*reread) != written) {
        __builtin_trap();
    }
    for (const auto& message : vrx::programUpdateMessages(0x7F, data[0], image)) {
        if (message.size() != vrx::kUpdateMessageBytes) {
            __builtin_trap();
        }
    }
    return 0;
}
