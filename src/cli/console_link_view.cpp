#include "cli/console_link_view.h"

#include <ostream>

#include "model/program_image.h"

namespace vrx::cli {

ConsoleLinkView::ConsoleLinkView(std::ostream& progress, int programNumber)
    : progress_(progress), programNumber_(programNumber) {}

void ConsoleLinkView::print(std::string_view text) {
    for (const char c : text) {
        if (c == '\r') {
            continue;
        }
        progress_ << c;
        lineOpen_ = c != '\n';
    }
    progress_.flush();
}

void ConsoleLinkView::finish() {
    if (lineOpen_) {
        print("\n");
    }
}

void ConsoleLinkView::setStatusText(std::string text) {
    finish();
    print(text);
}

void ConsoleLinkView::appendStatusText(std::string_view text) {
    print(text);
}

void ConsoleLinkView::printLine(std::string_view line) {
    finish();
    print(line);
    print("\n");
}

void ConsoleLinkView::setStatusCaption(std::string /*caption*/) {}

void ConsoleLinkView::closeStatus() {
    statusVisible_ = false;
}

int ConsoleLinkView::askProgramNumber(std::string_view /*title*/, ProgramPrompt& prompt) {
    prompt.numberTextChanged(std::to_string(programNumber_));
    if (prompt.currentNumber() != programNumber_ || prompt.maxProgramNumber() < 1) {
        refusal_ = prompt.warningVisible() ? prompt.warningText()
                                           : "the unit holds programs 1 to " +
                                                 std::to_string(prompt.maxProgramNumber()) +
                                                 ", not " + std::to_string(programNumber_);
        prompt.pressCancel();
    } else {
        prompt.pressOk();
    }
    return prompt.result();
}

void ConsoleLinkView::showMessage(std::string text) {
    finish();
    print(text + "\n");
    if (!problem_) {
        problem_ = std::move(text);
    }
}

void ConsoleLinkView::decodeIntoEditor(ByteView programData) {
    decoded_ = decodeProgramData(programData, data_).ok();
}

Bytes ConsoleLinkView::currentImage(std::uint8_t firmwareVersionByte) {
    return encodeProgramData(data_, firmwareVersionByte);
}

void ConsoleLinkView::programRead(int programNumber, ByteView programData) {
    ++programsRead_;
    if (programReadHandler_) {
        programReadHandler_(programNumber, programData);
    }
}

}  // namespace vrx::cli
