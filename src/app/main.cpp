#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include "app/single_instance.h"
#include "app/vrx_application.h"

namespace {

// A program built into <prefix>/bin finds its installed data in <prefix>/share.
std::filesystem::path installPrefixOf(const std::filesystem::path& executableFolder) {
    return executableFolder.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VRXConfig"));
    QApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures a VRX unit: loads, edits and writes its programs over MIDI."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulator(
        QStringLiteral("simulator"),
        QStringLiteral("List a simulated VRX unit as the last MIDI input and output device, "
                       "for trying the program without a unit."));
    parser.addOption(simulator);
    parser.process(application);

    vrx::app::SingleInstance instance(vrx::app::defaultInstanceKey());
    if (instance.anotherInstance()) {
        return 0;
    }

    vrx::app::AppOptions options;
    options.simulator = parser.isSet(simulator);
    options.executableFolder = QCoreApplication::applicationDirPath().toStdString();
    options.installPrefix = installPrefixOf(options.executableFolder);
    options.environment = vrx::readUserEnvironment();

    vrx::app::VrxApplication program(std::move(options));
    QObject::connect(&instance, &vrx::app::SingleInstance::activationRequested, &program,
                     &vrx::app::VrxApplication::activate);
    QObject::connect(&program, &vrx::app::VrxApplication::finished, &application,
                     &QApplication::quit);
    program.start();
    return application.exec();
}
