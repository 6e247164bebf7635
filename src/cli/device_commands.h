#pragma once

#include <CLI/CLI.hpp>

#include "cli/device_session.h"

namespace vrx::cli {

// ports, read, write and backup: the commands that talk to a unit.
// Each sets `exitStatus` when it runs.
void addDeviceCommands(CLI::App& app, int& exitStatus);

// --midi-api alsa|jack: the MIDI service, ALSA unless it says otherwise.
void addMidiApiOption(CLI::App& command, MidiApi& api);

// --midi-api, --in, --out, --simulator and, for commands that wait for the unit, --timeout.
void addDeviceOptions(CLI::App& command, DeviceOptions& options, bool withTimeout = true);

}  // namespace vrx::cli
