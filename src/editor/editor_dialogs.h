#pragma once

#include <QString>
#include <QUrl>

class QPrinter;
class QWidget;

namespace vrx {

// Everything of the editor window that stops and waits for the user, or leaves the
// program: file dialogs, message boxes and the document handler. The program uses
// QtEditorDialogs; the tests answer with a recorder, so no dialog ever blocks them.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;

    // The chosen full path, or an empty text when the user cancels.
    virtual QString askOpenFileName(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& folder) = 0;
    // Confirms before an existing file is overwritten.
    virtual QString askSaveFileName(QWidget* owner, const QString& title, const QString& filter,
                                    const QString& folder) = 0;

    // A save dialog offering several file types ("CSV files (*.csv);;HTML files (*.html)"),
    // starting with `proposedName`: the chosen path as typed and the type chosen, one
    // entry of `filters`. An empty path when the user cancels.
    struct TypedFileName {
        QString path;
        QString filter;
    };
    virtual TypedFileName askSaveTypedFileName(QWidget* owner, const QString& title,
                                               const QString& filters, const QString& folder,
                                               const QString& proposedName) = 0;

    virtual bool askYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
    enum class Answer { Yes, No, Cancel };
    virtual Answer askYesNoCancel(QWidget* owner, const QString& title, const QString& text) = 0;
    // Lets the user choose and set up the printer; false when the user cancels.
    virtual bool askPrinter(QWidget* owner, QPrinter& printer) = 0;
    virtual void showInformation(QWidget* owner, const QString& title, const QString& text) = 0;
    virtual void showWarning(QWidget* owner, const QString& title, const QString& text) = 0;

    // Hands a document to the platform's default handler; false when no handler took it.
    virtual bool openDocument(const QUrl& address) = 0;
};

}  // namespace vrx
