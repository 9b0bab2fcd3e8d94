#pragma once
// Every message box and file dialog of the programs goes through this one
// interface, so tests can answer them from a script instead of blocking on a
// modal window.
#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace orv {

struct FileDialogRequest {
    QString Title;             // empty: "Open" or "Save As"
    QString Filter;            // "ORV Preset|*.orv|All Files|*.*" style: pairs of name and pattern
    QString DefaultExtension;  // without the dot; added when the typed name has none
    QString InitialDirectory;
    QString FileName;          // proposed name
    bool AskBeforeReplacing = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void Information(QWidget* parent, const QString& text) = 0;
    virtual void Error(QWidget* parent, const QString& text) = 0;
    virtual bool OkCancel(QWidget* parent, const QString& text) = 0;   // true for OK
    virtual bool YesNo(QWidget* parent, const QString& text) = 0;      // true for Yes
    // Empty result when the user cancels. SaveFile adds the request's default
    // extension and, with AskBeforeReplacing, asks YesNo before an existing
    // file is replaced; No cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;

    // The process-wide instance: real Qt dialogs unless a test installed its
    // own. Install(nullptr) goes back to the Qt dialogs.
    static Dialogs& Get();
    static void Install(std::unique_ptr<Dialogs> dialogs);
};

// Message boxes titled with the application's display name; QFileDialog for files.
class QtDialogs : public Dialogs {
public:
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool OkCancel(QWidget* parent, const QString& text) override;
    bool YesNo(QWidget* parent, const QString& text) override;
    std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) override;
};

// Test double: records every text shown and answers from queues. An empty
// queue answers OK / Yes / cancel. SaveFile treats the queued name as the
// typed one: it gets the default extension and may raise the replace question.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString Kind;  // "information", "error", "okcancel", "yesno", "open", "save"
        QString Text;  // message text, or the dialog's filter
    };
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    bool OkCancel(QWidget* parent, const QString& text) override;
    bool YesNo(QWidget* parent, const QString& text) override;
    std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) override;

    std::deque<bool> Answers;                     // for OkCancel and YesNo
    std::deque<std::optional<QString>> Files;     // for OpenFile and SaveFile
    std::vector<Shown> Log;
    std::vector<FileDialogRequest> Requests;
};

// "Name|pattern|Name|pattern" to Qt's "Name (pattern);;Name (pattern)". A
// pattern list "*.a;*.b" becomes "*.a *.b", and "*.*" becomes "*" so that it
// also matches names without a dot.
QString ToQtFilter(const QString& filter);

// fileName with "." + extension appended when its last path component has no
// extension of its own (a leading dot, as in ".hidden", does not count).
QString WithDefaultExtension(const QString& fileName, const QString& extension);

// The question asked before an existing file is replaced.
QString ReplaceQuestion(const QString& fileName);

}  // namespace orv
