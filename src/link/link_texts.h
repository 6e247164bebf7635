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
inline constexpr const char* kCallerMain = "frmMain";
inline constexpr const char* kRequestingConfiguration = "Requesting VRX Configuration..";
inline constexpr const char* kRequestingProgramData = "Requesting VRX Program Data..";
inline constexpr const char* kLoadCaption = "Loading Program Data from VRX";
inline constexpr const char* kFileCaption = "Loading Program Data From File";
inline constexpr const char* kLoadPromptTitle = "Loading Program Data From VRX";
inline constexpr const char* kWritePromptTitle = "Writing Program Data To VRX";
inline constexpr const char* kCheckConnections =
    "Check your MIDI connections and make sure that your VRX is turned on!";
inline constexpr const char* kRetrying = "Retrying...";
inline constexpr const char* kInvalidFile = "Invalid VRX Program Data file... Sorry.";
inline constexpr const char* kFileLoaded = "Program Data successfully loaded from file ";
inline constexpr const char* kTitleEditing = "VRXConfig - Editing Program Data #";

}  // namespace vrx::link_texts
