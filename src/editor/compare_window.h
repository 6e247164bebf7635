#pragma once

#include <QDialog>

#include <vector>

#include "model/differences.h"

class QPlainTextEdit;

namespace vrx {

class EditorDialogs;

// The window "frmCompare": what differs between another configuration (a file or a
// program of the unit) and the one in the editor, one difference a line, or
// "No differences". "Save as Text…" keeps the heading and the list in a text file.
class CompareWindow : public QDialog {
    Q_OBJECT
public:
    // `editorName` names the editor's side of the comparison.
    CompareWindow(const QString& otherName, const QString& editorName,
                  const std::vector<Difference>& differences, EditorDialogs& dialogs,
                  QString folder, QWidget* parent = nullptr);

    QString listedText() const;
    void saveAsText();

private:
    QString heading_;  // names both sides
    QString text_;
    EditorDialogs& dialogs_;
    QString folder_;
    QPlainTextEdit* list_ = nullptr;
};

}  // namespace vrx
