#pragma once

#include <QString>

#include <utility>

#include "editor/editor_dialogs.h"

namespace vrx {

// The real dialogs: Qt's file dialogs and message boxes, and the desktop's document opener.
class QtEditorDialogs : public EditorDialogs {
public:
    // `documentOpener` is the desktop's command that hands a document to its handler.
    explicit QtEditorDialogs(QString documentOpener = QStringLiteral("xdg-open"))
        : documentOpener_(std::move(documentOpener)) {}

    QString askOpenFileName(QWidget* owner, const QString& title, const QString& filter,
                            const QString& folder) override;
    QString askSaveFileName(QWidget* owner, const QString& title, const QString& filter,
                            const QString& folder) override;
    TypedFileName askSaveTypedFileName(QWidget* owner, const QString& title, const QString& filters,
                                       const QString& folder, const QString& proposedName) override;
    bool askYesNo(QWidget* owner, const QString& title, const QString& text) override;
    Answer askYesNoCancel(QWidget* owner, const QString& title, const QString& text) override;
    bool askPrinter(QWidget* owner, QPrinter& printer) override;
    void showInformation(QWidget* owner, const QString& title, const QString& text) override;
    void showWarning(QWidget* owner, const QString& title, const QString& text) override;
    bool openDocument(const QUrl& address) override;

private:
    QString documentOpener_;
};

}  // namespace vrx
