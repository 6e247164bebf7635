#include <cstddef>
#include <cstdint>

#include "protocol/messages.h"
#include "protocol/response_gatherer.h"

// Feeds arbitrary incoming messages, cut at every F7, to the recognisers and the
// gatherer as the input handler would. Nothing may read past a message.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte picks how much the request asks for.
    vrx::ResponseGatherer gatherer(data[0]);
    const vrx::ByteView stream(data + 1, size - 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= stream.size(); ++i) {
        if (i < stream.size() && stream[i] != vrx::kSysexEnd) {
            continue;
        }
        const auto message = stream.subspan(start, i - start + (i < stream.size() ? 1 : 0));
        start = i + 1;
        (void)vrx::parseIdentityReply(message);
        (void)vrx::isIdentityRequest(message);
        if (const auto block = vrx::parseProgramUpdate(message)) {
            if (block->data.size() >= message.size()) {
                __builtin_trap();
            }
        }
        if (vrx::isProgramResponse(message)) {
            const auto before = gatherer.data().size();
            const auto payload = vrx::programResponsePayload(message);
            gatherer.append(message);
            if (gatherer.data().size() - before > payload.size()) {
                __builtin_trap();
            }
        }
        if (gatherer.complete() && gatherer.data().size() < gatherer.expectedLength()) {
            __builtin_trap();
        }
    }
    return 0;
}
