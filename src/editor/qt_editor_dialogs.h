#pragma once

#include "editor/editor_dialogs.h"

namespace vrx {

// The real dialogs: Qt's file dialogs, message boxes and QDesktopServices.
class QtEditorDialogs : public EditorDialogs {
public:
    QString askOpenFileName(QWidget* owner, const QString& title, const QString& filter,
                            const QString& folder) override;
    QString askSaveFileName(QWidget* owner, const QString& title, const QString& filter,
                            const QString& folder) override;
    bool askYesNo(QWidget* owner, const QString& title, const QString& text) override;
    Answer askYesNoCancel(QWidget* owner, const QString& title, const QString& text) override;
    bool askPrinter(QWidget* owner, QPrinter& printer) override;
    void showInformation(QWidget* owner, const QString& title, const QString& text) override;
    void showWarning(QWidget* owner, const QString& title, const QString& text) override;
    bool openDocument(const QUrl& address) override;
};

}  // namespace vrx
