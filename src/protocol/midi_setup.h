#pragma once

namespace vrx {

// The devices chosen in the MIDI I/O Setup dialog, as positions in its lists (0 = none):
// input position n opens input device n - 1, output position n opens output device
// n - 2, position 1 being the system's default output.
struct MidiSetup {
    int portInDevice = 0;
    int portOutDevice = 0;
    bool midiConfigured = false;      // confirmed with OK in this run
    bool midiSetupCancelled = false;  // the last dialog was left with Cancel
};

constexpr int inputDeviceForPosition(int position) {
    return position - 1;
}
constexpr int outputDeviceForPosition(int position) {
    return position - 2;
}
constexpr int inputPositionForDevice(int device) {
    return device + 1;
}
constexpr int outputPositionForDevice(int device) {
    return device + 2;
}

}  // namespace vrx
