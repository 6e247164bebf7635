#pragma once

#include <QFile>
#include <QPrinter>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <string>

#include "editor/editor_dialogs.h"
#include "model/vocabulary.h"

namespace vrx::testing {

// Answers the editor's dialogs from prepared answers and keeps what was asked.
class RecordingDialogs : public EditorDialogs {
public:
    struct Asked {
        QString kind;  // "open", "save", "yesno", "yesnocancel", "print", "information", "warning"
        QString title;
        QString text;    // message text, or the file filter
        QString folder;  // initial folder of a file dialog
    };

    QStringList openAnswers;  // taken from the front; empty means "cancelled"
    QStringList saveAnswers;
    QStringList proposedNames;  // the names typed save dialogs started with
    QStringList typeAnswers;    // the file type chosen with each save answer; empty: the first
    bool yesNoAnswer = false;
    Answer yesNoCancelAnswer = Answer::Cancel;
    QList<Asked> asked;
    QList<QUrl> opened;
    bool documentOpens = true;
    QString printToPdf;  // where Print writes; empty means "cancelled"
    // Runs while a question waits for its answer, as the events a real dialog's own loop
    // handles meanwhile.
    std::function<void()> whileAsking;

    QString askOpenFileName(QWidget*, const QString& title, const QString& filter,
                            const QString& folder) override {
        asked.push_back({"open", title, filter, folder});
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString askSaveFileName(QWidget*, const QString& title, const QString& filter,
                            const QString& folder) override {
        asked.push_back({"save", title, filter, folder});
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    TypedFileName askSaveTypedFileName(QWidget* owner, const QString& title, const QString& filters,
                                       const QString& folder,
                                       const QString& proposedName) override {
        const QString path = askSaveFileName(owner, title, filters, folder);
        proposedNames << proposedName;
        const QString type =
            typeAnswers.isEmpty() ? filters.section(";;", 0, 0) : typeAnswers.takeFirst();
        return {path, type};
    }
    bool askYesNo(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"yesno", title, text, {}});
        waitForAnswer();
        return yesNoAnswer;
    }
    Answer askYesNoCancel(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"yesnocancel", title, text, {}});
        waitForAnswer();
        return yesNoCancelAnswer;
    }
    bool askPrinter(QWidget*, QPrinter& printer) override {
        asked.push_back({"print", {}, {}, {}});
        if (printToPdf.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
        return true;
    }
    void showInformation(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"information", title, text, {}});
    }
    void showWarning(QWidget*, const QString& title, const QString& text) override {
        asked.push_back({"warning", title, text, {}});
    }
    bool openDocument(const QUrl& address) override {
        opened.push_back(address);
        return documentOpens;
    }

    void waitForAnswer() {
        if (whileAsking) {
            whileAsking();
        }
    }

    int count(const QString& kind) const {
        return std::count_if(asked.begin(), asked.end(),
                             [&](const Asked& a) { return a.kind == kind; });
    }
};

// A Program Change list of the given length: "1 - Program 1" and so on.
inline NameList numberedInstruments(int count) {
    NameList names;
    for (int k = 1; k <= count; ++k) {
        names.push_back(std::to_string(k) + " - Program " + std::to_string(k));
    }
    return names;
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

}  // namespace vrx::testing
