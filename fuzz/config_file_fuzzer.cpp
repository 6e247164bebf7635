#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "files/config_file.h"
#include "model/program_image.h"

// Any file the user opens is read without a crash; an image it yields is always the
// full 260 bytes, and saving that image reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto contents = vrx::parseConfigFile(text);
    if (const auto* image = std::get_if<vrx::Bytes>(&contents)) {
        if (image->size() != vrx::kImageBytes) {
            __builtin_trap();
        }
        const auto saved = vrx::configFileText(*image);
        const auto reread = vrx::parseConfigFile(saved);
        const auto* again = std::get_if<vrx::Bytes>(&reread);
        if (saved.size() != vrx::kConfigFileBytes || !again || *again != *image) {
            __builtin_trap();
        }
    }
    return 0;
}
