#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "app/single_instance.h"
#include "app/vrx_application.h"
#include "editor/local_path.h"
#include "ports/simulated_fault_names.h"
#include "ports/simulated_memory.h"

namespace {

// A program built into <prefix>/bin finds its installed data in <prefix>/share.
std::filesystem::path installPrefixOf(const std::filesystem::path& executableFolder) {
    return executableFolder.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer before any window system is needed, so they work on a
    // machine without a display too.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCoreApplication::setApplicationName(QStringLiteral("VRXConfig"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures a VRX unit: loads, edits and writes its programs over MIDI."));
    const auto help = parser.addHelpOption();
    const auto version = parser.addVersionOption();
    const QCommandLineOption simulator(
        QStringLiteral("simulator"),
        QStringLiteral("List a simulated VRX unit as the last MIDI input and output device, "
                       "for trying the program without a unit."));
    parser.addOption(simulator);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A configuration file (*.vrx) to open in the editor. When VRXConfig "
                       "already runs, the running window opens it."),
        QStringLiteral("[file]"));
    const QCommandLineOption simulatorFault(
        QStringLiteral("simulator-fault"),
        QStringLiteral("With --simulator: make the simulated unit misbehave, to rehearse a "
                       "failure (repeatable):\n") +
            QString::fromStdString(vrx::simulatorFaultHelp()),
        QStringLiteral("NAME[=N]"));
    parser.addOption(simulatorFault);
    const QCommandLineOption midiApi(
        QStringLiteral("midi-api"),
        QStringLiteral("The MIDI service on Linux: alsa (the ALSA sequencer, the default) or "
                       "jack (a running JACK server). Kept for the next run."),
        QStringLiteral("alsa|jack"));
    parser.addOption(midiApi);
    const QCommandLineOption simulatorMemory(
        QStringLiteral("simulator-memory"),
        QStringLiteral("With --simulator: the simulated unit keeps its programs in DIR as "
                       "program-NNN.vrx, as a backup writes them; it starts with those found "
                       "there and writes each program it stores back."),
        QStringLiteral("DIR"));
    parser.addOption(simulatorMemory);
    // Options of the window system (-platform and the like) are only known once the
    // application exists; until then an unknown option is not an error yet.
    if (parser.parse(arguments)) {
        if (parser.isSet(help)) {
            QTextStream(stdout) << parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                             QStringLiteral("vrxconfig"));
            return 0;
        }
        if (parser.isSet(version)) {
            QTextStream(stdout) << "VRXConfig " << QCoreApplication::applicationVersion() << "\n";
            return 0;
        }
    }

    QApplication application(argc, argv);
    // Ties the windows to the menu entry, so the desktop shows its icon for them.
    QGuiApplication::setDesktopFileName(QStringLiteral("vrxconfig"));
    QApplication::setQuitOnLastWindowClosed(false);
    parser.process(application);

    // The running copy has another working folder: it gets the file's full path.
    QString fileToOpen;
    if (!parser.positionalArguments().isEmpty()) {
        fileToOpen = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    }
    vrx::app::SingleInstance instance(vrx::app::defaultInstanceKey());
    if (instance.anotherInstance(fileToOpen.isEmpty() ? QStringList() : QStringList{fileToOpen})) {
        return 0;
    }

    vrx::app::AppOptions options;
    options.simulator = parser.isSet(simulator);
    if (parser.isSet(midiApi)) {
        options.midiApi = vrx::midiApiFromName(parser.value(midiApi).toStdString());
        if (!options.midiApi) {
            QTextStream(stderr) << "vrxconfig: --midi-api is alsa or jack, not "
                                << parser.value(midiApi) << "\n";
            return 2;
        }
    }
    options.executableFolder = vrx::localPath(QCoreApplication::applicationDirPath());
    options.installPrefix = installPrefixOf(options.executableFolder);
    options.environment = vrx::readUserEnvironment();
    options.fileToOpen = fileToOpen;

    vrx::app::VrxApplication program(std::move(options));
    // The simulated unit's options are refused without the simulator, or when they
    // cannot be applied.
    auto* unit = program.ports().simulatedUnit();
    const auto applyToUnit = [unit](const char* option, const auto& apply) {
        const auto refused =
            unit == nullptr ? std::string(option) + " needs --simulator" : apply(*unit);
        if (!refused.empty()) {
            QTextStream(stderr) << "vrxconfig: " << QString::fromStdString(refused) << "\n";
        }
        return refused.empty();
    };
    for (const auto& fault : parser.values(simulatorFault)) {
        if (!applyToUnit("--simulator-fault", [&fault](vrx::SimulatedUnit& u) {
                return vrx::applySimulatorFault(u, fault.toStdString());
            })) {
            return 2;
        }
    }
    if (parser.isSet(simulatorMemory) &&
        !applyToUnit("--simulator-memory", [&](vrx::SimulatedUnit& u) {
            return vrx::keepSimulatorMemoryIn(u, vrx::localPath(parser.value(simulatorMemory)));
        })) {
        return 2;
    }
    QObject::connect(&instance, &vrx::app::SingleInstance::activationRequested, &program,
                     &vrx::app::VrxApplication::activate);
    QObject::connect(&instance, &vrx::app::SingleInstance::fileOpenRequested, &program,
                     &vrx::app::VrxApplication::openFile);
    QObject::connect(&program, &vrx::app::VrxApplication::finished, &application,
                     &QApplication::quit);
    program.start();
    return application.exec();
}
