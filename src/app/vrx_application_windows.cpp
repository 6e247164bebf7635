// The program's windows beside the editor: the MIDI monitor and the user guide, and
// bringing the visible window to the front.
#include "app/app_art.h"
#include "app/centring.h"
#include "app/vrx_application.h"
#include "editor/local_path.h"

namespace vrx::app {

void VrxApplication::showMidiMonitor() {
    if (!monitor_) {
        monitor_ = new frmMidiMonitor(traffic_);
        monitor_->setWindowIcon(programIcon());
        monitor_->setAttribute(Qt::WA_DeleteOnClose);
        if (main_) {
            centreOver(*monitor_, main_);
        }
    }
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

void VrxApplication::showUserGuide() {
    if (!help_) {
        help_ = new HelpWindow;
        help_->setWindowIcon(programIcon());
    }
    help_->showGuide(shownPath(paths_.userGuideFile()));
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void VrxApplication::activate() {
    for (QWidget* window : {static_cast<QWidget*>(main_), static_cast<QWidget*>(choice_),
                            static_cast<QWidget*>(splash_)}) {
        if (window && window->isVisible()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

}  // namespace vrx::app
