#pragma once

// Texts the device link shows in the status window, and the window names it hands the
// dialogs, for the files that make up the link.
namespace vrx::link_texts {

inline constexpr const char* kCrLf = "\r\n";
inline constexpr const char* kWriteCaption = "Writing Program Data to VRX";
inline constexpr const char* kRequestingConfigurationFirst =
    "Requesting VRX Configuration first...";
inline constexpr const char* kCallerSplash = "frmSplash";
inline constexpr const char* kStoppedAnswering =
    "The VRX stopped answering. Check your MIDI connections and try again.";
inline constexpr const char* kReadSendFailed =
    "Sending failed: the MIDI output did not take the request. Check the MIDI I/O Setup and "
    "try again.";
inline constexpr const char* kReadBackUnanswered =
    "Written, but the VRX did not answer the read-back: the program could not be verified.";

}  // namespace vrx::link_texts
