#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace vrx::app {

// The user guide that comes with the program, shown by the program itself so it opens
// without a network and without a browser. Links to other places go to the platform's
// handler.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static const QString kTitle;  // "VRXConfig User Guide"

    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide at `guideFile` (Markdown, its pictures beside it); false when the
    // file is not there, and the window then says where it looked.
    bool showGuide(const QString& guideFile);
    QTextBrowser* browser() const { return browser_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace vrx::app
