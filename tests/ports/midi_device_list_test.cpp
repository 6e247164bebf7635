#include "protocol/midi_device_list.h"

#include <gtest/gtest.h>

#include "ports/counted_ports.h"
#include "protocol/midi_setup.h"

namespace vrx {
namespace {

TEST(MidiDeviceList, EntriesAreNumberedByTheirPositions) {
    testing::CountedInput input(1);
    testing::CountedOutput output(2);
    const auto inputs = inputDeviceEntries(input);
    const auto outputs = outputDeviceEntries(output);
    EXPECT_TRUE(inputs.error.empty());
    EXPECT_EQ(inputs.entries, (std::vector<std::string>{"[Choose a MIDI in device]", "#1: in 0"}));
    EXPECT_EQ(outputs.entries,
              (std::vector<std::string>{"[Choose a MIDI out device]", "#1: out -1 (out 0)",
                                        "#2: out 0", "#3: out 1"}));
    // Position 3 opens output device 1, input position 1 input device 0.
    EXPECT_EQ(outputDeviceForPosition(3), 1);
    EXPECT_EQ(inputDeviceForPosition(1), 0);
}

}  // namespace
}  // namespace vrx
