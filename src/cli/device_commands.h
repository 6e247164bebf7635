#pragma once

#include <CLI/CLI.hpp>

#include "cli/device_session.h"
#include "cli/session_host.h"

namespace vrx::cli {

// What every command that talks to a unit shares: the host it runs on, the program-wide
// --trace (given before or after the command's name) and the exit status it sets.
struct DeviceCommandContext {
    SessionHost& host;
    const bool& trace;
    int& exitStatus;
};

// ports, read, write and backup: the commands that talk to a unit.
void addDeviceCommands(CLI::App& app, const DeviceCommandContext& context);

// --midi-api alsa|jack: the MIDI service, ALSA unless it says otherwise.
void addMidiApiOption(CLI::App& command, MidiApi& api);

// --midi-api, --in, --out, --simulator and, for commands that wait for the unit, --timeout.
void addDeviceOptions(CLI::App& command, DeviceOptions& options, bool withTimeout = true);

// "vrxtool: <message>" on stderr; returns the failure's status.
int fail(const SessionFailure& failure);

// The line that ends a device command that did not get to its end: why, and what the
// unit now holds in `programNumber` from what actually went out.
std::string stoppedLine(const std::string& why, const DeviceLink& link, int programNumber);

}  // namespace vrx::cli
