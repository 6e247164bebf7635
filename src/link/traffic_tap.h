#pragma once

#include <functional>

#include "protocol/bytes.h"

namespace vrx {

enum class TrafficDirection { kIn, kOut };

// Sees every message the link sends to the output or takes from the input, as it
// passes. The MIDI monitor, vrxtool --trace and the log listen here.
using TrafficTap = std::function<void(TrafficDirection, ByteView)>;

}  // namespace vrx
