#include "cli/file_commands.h"

#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_io.h"
#include "cli/program_json.h"
#include "cli/program_report.h"
#include "cli/syx_file.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "protocol/hex_text.h"
#include "protocol/messages.h"

namespace vrx::cli {
namespace {

constexpr int kFirstProgram = 1;
constexpr int kLastProgram = 256;  // the unit addresses 256 pages of 256 bytes
constexpr int kLastDevice = 0x7F;  // one data byte; 7F addresses every unit

struct FileOptions {
    std::string input;
    std::string output;
    bool allPins = false;
    int program = kFirstProgram;
    int device = 0;
    bool hex = false;
    bool noReboot = false;
};

Result<ProgramData> decodeFile(const std::string& path) {
    const auto image = readImageFile(path);
    if (!image) {
        return Result<ProgramData>::failure(image.error());
    }
    return decodeProgramData(*image);
}

int runExport(const FileOptions& options) {
    const auto data = decodeFile(options.input);
    if (!data) {
        return fail(kExitBadInput, data.error());
    }
    return printOutput(programToJson(*data, instrumentNamesBesideProgram()).dump(2) + "\n");
}

int runShow(const FileOptions& options) {
    const auto data = decodeFile(options.input);
    if (!data) {
        return fail(kExitBadInput, data.error());
    }
    return printOutput(options.input + "\n\n" +
                       programReport(*data, instrumentNamesBesideProgram(), options.allPins));
}

int runImport(const FileOptions& options) {
    const auto text = readInput(options.input);
    if (!text) {
        return fail(kExitBadInput, text.error());
    }
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(*text);
    } catch (const nlohmann::json::parse_error& error) {
        // "[json.exception.parse_error.101] parse error at line 2, column 5: ..." without
        // the library's tag.
        std::string what = error.what();
        what.erase(0, what.find(']') + 2);
        return fail(kExitBadInput, options.input + ": " + what);
    }
    const auto data = programFromJson(json);
    if (!data) {
        return fail(kExitBadInput, options.input + ": " + data.error());
    }
    // As the editor saves before any unit has answered: format byte 18.
    return writeOutput(options.output, configFileText(encodeProgramData(*data)));
}

int runSysex(const FileOptions& options) {
    if (options.output.empty() && !options.hex) {
        return fail(kExitBadInput, "sysex: give -o OUT.syx, or --hex to print the messages");
    }
    const auto image = readImageFile(options.input);
    if (!image) {
        return fail(kExitBadInput, image.error());
    }
    // The image goes out as the file holds it, so a backup restores byte for byte.
    const auto device = static_cast<std::uint8_t>(options.device);
    const auto updates = programUpdateMessages(
        device, static_cast<unsigned>(options.program - kFirstProgram), *image);
    std::vector<Bytes> messages(updates.begin(), updates.end());
    if (!options.noReboot) {
        messages.push_back(vrxReboot(device));
    }
    if (options.hex) {
        std::string text;
        for (const auto& message : messages) {
            text += bytesToHexText(message) + "\n";
        }
        return options.output.empty() ? printOutput(text) : writeOutput(options.output, text);
    }
    const auto file = joinSysexFile(messages);
    return writeOutput(options.output,
                       std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

int runUnsysex(const FileOptions& options) {
    const auto contents = readInput(options.input);
    if (!contents) {
        return fail(kExitBadInput, contents.error());
    }
    const auto& text = *contents;
    const auto messages =
        splitSysexFile(ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!messages) {
        return fail(kExitBadInput, options.input + ": " + messages.error());
    }
    std::vector<std::string> notes;
    const auto image = imageFromDump(*messages, notes);
    for (const auto& note : notes) {
        std::cerr << "vrxtool: " << options.input << ": " << note << "\n";
    }
    if (!image) {
        return fail(kExitBadInput, options.input + ": " + image.error());
    }
    return writeOutput(options.output, configFileText(*image));
}

// Registers a command on one input file whose run sets the exit status; the options
// live as long as the command does.
CLI::App* addCommand(CLI::App& app, const char* name, const char* description,
                     const char* inputDescription, int& exitStatus,
                     const std::shared_ptr<FileOptions>& options, int (*run)(const FileOptions&)) {
    auto* command = app.add_subcommand(name, description);
    command->add_option("file", options->input, inputDescription)->required();
    command->callback([&exitStatus, options, run] { exitStatus = run(*options); });
    return command;
}

}  // namespace

void addFileCommands(CLI::App& app, int& exitStatus) {
    auto options = std::make_shared<FileOptions>();
    constexpr const char* kConfigurationFile = "Configuration file (*.vrx)";

    addCommand(app, "export", "Print a configuration file as JSON", kConfigurationFile, exitStatus,
               options, runExport);

    addCommand(app, "import", "Write a configuration file from JSON", "JSON as export prints it",
               exitStatus, options, runImport)
        ->add_option("-o,--output", options->output, "Configuration file to write")
        ->required();

    addCommand(app, "show", "Print a readable report of a configuration", kConfigurationFile,
               exitStatus, options, runShow)
        ->add_flag("--all", options->allPins, "List all 105 pins, not only assigned ones");

    auto* sysex =
        addCommand(app, "sysex", "Turn a configuration file into the messages that store it",
                   kConfigurationFile, exitStatus, options, runSysex);
    sysex->add_option("--program", options->program, "Program to store it in")
        ->required()
        ->check(CLI::Range(kFirstProgram, kLastProgram));
    sysex->add_option("--device", options->device, "Device number of the unit")
        ->capture_default_str()
        ->check(CLI::Range(0, kLastDevice));
    sysex->add_option("-o,--output", options->output, "SysEx file to write (*.syx)");
    sysex->add_flag("--hex", options->hex, "Print the messages as hex text instead");
    sysex->add_flag("--no-reboot", options->noReboot, "Leave off the closing VRX_REBOOT");

    addCommand(app, "unsysex", "Rebuild a configuration file from a captured SysEx dump",
               "SysEx file (*.syx)", exitStatus, options, runUnsysex)
        ->add_option("-o,--output", options->output, "Configuration file to write")
        ->required();
}

}  // namespace vrx::cli
