#pragma once

#include <vector>

#include "protocol/bytes.h"

namespace vrx {

// Some drivers hand a long SysEx message over in pieces, one buffer at a time. This
// joins the pieces up to the F7. Real-time bytes (F8-FF) between or inside the pieces
// are dropped; any other status byte, a new F0 included, ends the broken message, which
// is dropped too. Short messages outside a SysEx pass straight through.
class SysexJoiner {
public:
    std::vector<Bytes> add(ByteView piece);

private:
    Bytes partial_;
};

}  // namespace vrx
