#pragma once

#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// Some drivers hand a long SysEx message over in pieces, one buffer at a time. This
// joins the pieces up to the F7; short messages in between pass straight through, and
// a new F0 before the F7 drops the broken message.
class SysexJoiner {
public:
    std::vector<Bytes> add(ByteView piece);

private:
    Bytes partial_;
};

}  // namespace vrx
