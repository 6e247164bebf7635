// Shows the editor window with a sample configuration, for looking at it by hand, or
// with `--grab DIR` writes one picture of each tab into DIR and ends.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include "editor/main_window.h"
#include "model/program_image.h"

namespace {

vrx::ProgramData sampleConfiguration() {
    vrx::ProgramData data;
    const int keyboards[] = {1, 2, 3, 4};
    for (int c = 0; c < 4; ++c) {
        data.channels[c].inputKeyboard = keyboards[c];
        data.channels[c].keyOffset = 0;
    }
    data.channels[0].analogInput = 1;
    data.channels[1].analogInput = 2;
    data.channels[1].controllerType = 1;
    data.channels[3].keyOffset = -12;
    data.archiveAnalogInput = 3;
    data.archiveMidiChannel = 4;
    data.tuningInput = 5;
    data.tuningOptions = {true, false, true, false, false};
    const vrx::PinAssignment pins[] = {
        {vrx::kCommonAhlborn, 0, 10}, {vrx::kCommonAhlborn, 0, 11}, {vrx::kCommonAhlborn, 0, 12},
        {vrx::kRomanticStop, 0, 0},   {vrx::kRomanticStop, 0, 4},   {vrx::kClassicStop, 1, 2},
        {vrx::kProgramChange, 2, 19}, {vrx::kNoteOnOff, 3, 60},     {vrx::kTq450Stop, 0, 13},
        {vrx::kTq450Cancel, 0, 0},    {vrx::kBankSelectMsb, 5, 1},  {vrx::kMidiStop, 6, 1},
    };
    int row = 0;
    for (const auto& pin : pins) {
        data.pins[row++] = pin;
    }
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    vrx::MainWindow window(
        {vrx::loadInstrumentNames((here + "/genmidi.txt").toStdString()), nullptr, {}});
    window.decodeProgramData(vrx::encodeProgramData(sampleConfiguration()));
    window.checkMidiStopChannels();

    const QStringList arguments = app.arguments();
    const int grabAt = arguments.indexOf("--grab");
    window.show();
    if (grabAt < 0 || grabAt + 1 >= arguments.size()) {
        return app.exec();
    }
    const QDir folder(arguments[grabAt + 1]);
    auto* tabs = window.findChild<QTabWidget*>("tabScope");
    const char* names[] = {"midi-channel-settings", "control-inputs", "general-settings"};
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        app.processEvents();
        window.grab().save(folder.filePath(QStringLiteral("%1.png").arg(names[tab])));
    }
    return 0;
}
