#include "platform/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

namespace orv {

namespace {

std::unique_ptr<Dialogs>& Instance()
{
    static std::unique_ptr<Dialogs> instance;
    return instance;
}

// Shared by the real and the scripted dialogs, so tests see the same
// questions the user would.
std::optional<QString> FinishSaveName(Dialogs& dialogs, QWidget* parent,
                                      const FileDialogRequest& request,
                                      const std::optional<QString>& chosen)
{
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    const QString name = WithDefaultExtension(*chosen, request.DefaultExtension);
    if (request.AskBeforeReplacing && QFileInfo::exists(name)
        && !dialogs.YesNo(parent, ReplaceQuestion(name)))
        return std::nullopt;
    return name;
}

bool NextAnswer(std::deque<bool>& answers)
{
    if (answers.empty())
        return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> NextFile(std::deque<std::optional<QString>>& files)
{
    if (files.empty())
        return std::nullopt;
    std::optional<QString> file;
    file.swap(files.front());
    files.pop_front();
    return file;
}

QString InitialPath(const FileDialogRequest& request)
{
    if (request.InitialDirectory.isEmpty())
        return request.FileName;
    return QDir(request.InitialDirectory).filePath(request.FileName);
}

// Texts such as "Audio Out failed because: " + CR + reason break the line
// with a lone carriage return, which Qt would not show as a break.
QString PlainLines(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), PlainLines(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.exec();
    return box.standardButton(box.clickedButton());
}

}  // namespace

Dialogs& Dialogs::Get()
{
    auto& instance = Instance();
    if (!instance)
        instance = std::make_unique<QtDialogs>();
    return *instance;
}

void Dialogs::Install(std::unique_ptr<Dialogs> dialogs)
{
    Instance() = std::move(dialogs);
}

QString ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        entries << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& fileName, const QString& extension)
{
    if (fileName.isEmpty() || extension.isEmpty())
        return fileName;
    const qsizetype nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > nameStart && dot + 1 < fileName.size();
    if (hasExtension)
        return fileName;
    if (dot > nameStart)  // a trailing dot asks for no extension of its own
        return fileName + extension;
    return fileName + QLatin1Char('.') + extension;
}

QString ReplaceQuestion(const QString& fileName)
{
    return QFileInfo(fileName).fileName() + QStringLiteral(" already exists.\nDo you want to replace it?");
}

void QtDialogs::Information(QWidget* parent, const QString& text)
{
    Ask(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtDialogs::Error(QWidget* parent, const QString& text)
{
    Ask(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::OkCancel(QWidget* parent, const QString& text)
{
    return Ask(parent, QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
}

bool QtDialogs::YesNo(QWidget* parent, const QString& text)
{
    return Ask(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const FileDialogRequest& request)
{
    const QString title = request.Title.isEmpty() ? QStringLiteral("Open") : request.Title;
    const QString name = QFileDialog::getOpenFileName(parent, title, InitialPath(request), ToQtFilter(request.Filter));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const FileDialogRequest& request)
{
    const QString title = request.Title.isEmpty() ? QStringLiteral("Save As") : request.Title;
    // Qt's own question would look at the name before the extension is added.
    const QString name = QFileDialog::getSaveFileName(parent, title, InitialPath(request), ToQtFilter(request.Filter),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    return FinishSaveName(*this, parent, request, name);
}

void ScriptedDialogs::Information(QWidget*, const QString& text)
{
    Log.push_back({QStringLiteral("information"), text});
}

void ScriptedDialogs::Error(QWidget*, const QString& text)
{
    Log.push_back({QStringLiteral("error"), text});
}

bool ScriptedDialogs::OkCancel(QWidget*, const QString& text)
{
    Log.push_back({QStringLiteral("okcancel"), text});
    return NextAnswer(Answers);
}

bool ScriptedDialogs::YesNo(QWidget*, const QString& text)
{
    Log.push_back({QStringLiteral("yesno"), text});
    return NextAnswer(Answers);
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const FileDialogRequest& request)
{
    Log.push_back({QStringLiteral("open"), request.Filter});
    Requests.push_back(request);
    return NextFile(Files);
}

std::optional<QString> ScriptedDialogs::SaveFile(QWidget* parent, const FileDialogRequest& request)
{
    Log.push_back({QStringLiteral("save"), request.Filter});
    Requests.push_back(request);
    return FinishSaveName(*this, parent, request, NextFile(Files));
}

}  // namespace orv
