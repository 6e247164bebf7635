#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "link/link_view.h"
#include "model/program_data.h"

namespace vrx::cli {

// The device link's windows for vrxtool: the status text goes to stderr as it grows,
// the program prompt is answered with the number from the command line, and the
// "editor" is one ProgramData in memory.
class ConsoleLinkView final : public LinkView {
public:
    ConsoleLinkView(std::ostream& progress, int programNumber);

    void setStatusText(std::string text) override;
    void appendStatusText(std::string_view text) override;
    // A line of its own between the progress texts (a trace line).
    void printLine(std::string_view line);
    void setStatusCaption(std::string caption) override;
    void centreStatus() override {}
    void showStatus() override { statusVisible_ = true; }
    void hideStatus() override { statusVisible_ = false; }
    bool statusVisible() const override { return statusVisible_; }
    void closeStatus() override;

    int askProgramNumber(std::string_view title, ProgramPrompt& prompt) override;
    void showMidiSetup(MidiSetup& setup) override { setup.midiSetupCancelled = true; }
    void showMessage(std::string text) override;

    void showPinGrid() override {}
    void setTabScopeVisible(bool /*visible*/) override {}
    void setWindowTitle(std::string /*title*/) override {}
    void enableAllCommands() override {}
    void checkMidiStopChannels() override {}

    void decodeIntoEditor(ByteView programData) override;
    Bytes currentImage(std::uint8_t firmwareVersionByte) override;
    void programRead(int programNumber, ByteView programData) override;
    void writeLog(std::string_view /*line*/) override {}

    void setProgramData(const ProgramData& data) { data_ = data; }
    const ProgramData& programData() const { return data_; }
    bool decoded() const { return decoded_; }
    // What went wrong on the way (a message box of the program), for the final error.
    const std::optional<std::string>& problem() const { return problem_; }
    // Why the program number was refused.
    const std::optional<std::string>& refusal() const { return refusal_; }
    void setProgramReadHandler(std::function<void(int, ByteView)> handler) {
        programReadHandler_ = std::move(handler);
    }
    int programsRead() const { return programsRead_; }
    // Ends the progress line.
    void finish();

private:
    void print(std::string_view text);

    std::ostream& progress_;
    int programNumber_;
    bool statusVisible_ = false;
    bool lineOpen_ = false;
    ProgramData data_;
    bool decoded_ = false;
    int programsRead_ = 0;
    std::optional<std::string> problem_;
    std::optional<std::string> refusal_;
    std::function<void(int, ByteView)> programReadHandler_;
};

}  // namespace vrx::cli
