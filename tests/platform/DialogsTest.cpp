#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace orv;

namespace {

FileDialogRequest Request(const QString& filter, const QString& extension = {}, const QString& folder = {},
                          bool askBeforeReplacing = false)
{
    FileDialogRequest request;
    request.Filter = filter;
    request.DefaultExtension = extension;
    request.InitialDirectory = folder;
    request.AskBeforeReplacing = askBeforeReplacing;
    return request;
}

struct FilterCase {
    const char* Design;
    const char* Qt;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << '"' << c.Design << '"'; }

class FilterConversion : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterConversion, GivesQtNameFilters)
{
    EXPECT_EQ(ToQtFilter(QString::fromUtf8(GetParam().Design)), QString::fromUtf8(GetParam().Qt));
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterConversion, ::testing::Values(
    FilterCase{"ORV Preset|*.orv|All Files|*.*", "ORV Preset (*.orv);;All Files (*)"},
    FilterCase{"ORV Script|*.ovs|All Files|*.*", "ORV Script (*.ovs);;All Files (*)"},
    FilterCase{"WAVE file|*.wav", "WAVE file (*.wav)"},
    FilterCase{"Sounds|*.wav;*.raw", "Sounds (*.wav *.raw)"},
    FilterCase{"Presets|*.orv|Dangling", "Presets (*.orv)"},
    FilterCase{"", ""}));

struct ExtensionCase {
    const char* Typed;
    const char* Extension;
    const char* Result;
};

void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << '"' << c.Typed << "\" + " << c.Extension; }

class DefaultExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtension, IsAddedOnlyToNamesWithoutOne)
{
    const auto& c = GetParam();
    EXPECT_EQ(WithDefaultExtension(QString::fromUtf8(c.Typed), QString::fromUtf8(c.Extension)),
              QString::fromUtf8(c.Result));
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultExtension, ::testing::Values(
    ExtensionCase{"/tmp/tone", "wav", "/tmp/tone.wav"},
    ExtensionCase{"/tmp/tone.wav", "wav", "/tmp/tone.wav"},
    ExtensionCase{"/tmp/tone.WAV", "wav", "/tmp/tone.WAV"},
    ExtensionCase{"/tmp/notes.txt", "orv", "/tmp/notes.txt"},
    ExtensionCase{"/tmp/my.tones/bass", "orv", "/tmp/my.tones/bass.orv"},
    ExtensionCase{"/tmp/tone.", "wav", "/tmp/tone.wav"},
    ExtensionCase{"/tmp/.hidden", "orv", "/tmp/.hidden.orv"},
    ExtensionCase{"Sine 1000Hz 3s 0dBFS mono.wav", "wav", "Sine 1000Hz 3s 0dBFS mono.wav"},
    ExtensionCase{"/tmp/tone", "", "/tmp/tone"},
    ExtensionCase{"", "wav", ""}));

TEST(ScriptedDialogs, EmptyQueuesAnswerOkYesAndCancel)
{
    ScriptedDialogs dialogs;
    dialogs.Information(nullptr, "info");
    dialogs.Error(nullptr, "Wrong file format");
    EXPECT_TRUE(dialogs.OkCancel(nullptr, "ok?"));
    EXPECT_TRUE(dialogs.YesNo(nullptr, "yes?"));
    EXPECT_FALSE(dialogs.OpenFile(nullptr, Request("ORV Script|*.ovs|All Files|*.*")));
    EXPECT_FALSE(dialogs.SaveFile(nullptr, Request("WAVE file|*.wav")));

    const std::vector<std::pair<QString, QString>> expected = {
        {"information", "info"}, {"error", "Wrong file format"}, {"okcancel", "ok?"}, {"yesno", "yes?"},
        {"open", "ORV Script|*.ovs|All Files|*.*"}, {"save", "WAVE file|*.wav"}};
    ASSERT_EQ(dialogs.Log.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(dialogs.Log[i].Kind, expected[i].first) << i;
        EXPECT_EQ(dialogs.Log[i].Text, expected[i].second) << i;
    }
    ASSERT_EQ(dialogs.Requests.size(), 2u);
    EXPECT_EQ(dialogs.Requests[1].Filter, "WAVE file|*.wav");
}

TEST(ScriptedDialogs, AnswersComeFromTheQueuesInOrder)
{
    ScriptedDialogs dialogs;
    dialogs.Answers = {false, true, false};
    dialogs.Files = {QString("/tmp/a.orv"), std::nullopt};
    EXPECT_FALSE(dialogs.OkCancel(nullptr, "first"));
    EXPECT_TRUE(dialogs.YesNo(nullptr, "second"));
    EXPECT_FALSE(dialogs.YesNo(nullptr, "third"));
    EXPECT_TRUE(dialogs.YesNo(nullptr, "queue empty"));
    EXPECT_EQ(dialogs.OpenFile(nullptr, {}), QString("/tmp/a.orv"));
    EXPECT_FALSE(dialogs.OpenFile(nullptr, {}));
    EXPECT_TRUE(dialogs.Answers.empty());
    EXPECT_TRUE(dialogs.Files.empty());
}

TEST(ScriptedDialogs, SaveAddsTheDefaultExtension)
{
    ScriptedDialogs dialogs;
    dialogs.Files = {QString("/nonexistent-folder/tone")};
    FileDialogRequest request = Request("WAVE file|*.wav", "wav", {}, true);
    request.FileName = "Sine 1000Hz 3s 0dBFS mono.wav";
    EXPECT_EQ(dialogs.SaveFile(nullptr, request), QString("/nonexistent-folder/tone.wav"));
    ASSERT_EQ(dialogs.Requests.size(), 1u);
    EXPECT_EQ(dialogs.Requests[0].FileName, "Sine 1000Hz 3s 0dBFS mono.wav");
    EXPECT_EQ(dialogs.Log.size(), 1u);  // no replace question for a new file
}

struct ReplaceCase {
    bool Ask;
    bool Answer;
    bool Chosen;
    size_t Questions;
};

void PrintTo(const ReplaceCase& c, std::ostream* os)
{
    *os << (c.Ask ? "ask" : "no question") << ", answer " << (c.Answer ? "Yes" : "No");
}

class ReplaceQuestionAnswer : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceQuestionAnswer, DecidesTheResult)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("tone.wav");
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    ScriptedDialogs dialogs;
    dialogs.Files = {dir.filePath("tone")};
    dialogs.Answers = {GetParam().Answer};
    const auto result = dialogs.SaveFile(nullptr, Request({}, "wav", {}, GetParam().Ask));
    EXPECT_EQ(result.has_value(), GetParam().Chosen);
    EXPECT_EQ(result.value_or(existing), existing);
    ASSERT_EQ(dialogs.Log.size(), 1 + GetParam().Questions);
    if (GetParam().Questions) {
        EXPECT_EQ(dialogs.Log[1].Kind, "yesno");
        EXPECT_EQ(dialogs.Log[1].Text, "tone.wav already exists.\nDo you want to replace it?");
    }
}

INSTANTIATE_TEST_SUITE_P(Existing, ReplaceQuestionAnswer, ::testing::Values(
    ReplaceCase{true, true, true, 1},
    ReplaceCase{true, false, false, 1},
    ReplaceCase{false, false, true, 0}));

TEST(DialogsInstance, InstallReplacesAndNullRestoresTheQtDialogs)
{
    EXPECT_NE(dynamic_cast<QtDialogs*>(&Dialogs::Get()), nullptr);
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs* raw = scripted.get();
    Dialogs::Install(std::move(scripted));
    EXPECT_EQ(&Dialogs::Get(), raw);
    Dialogs::Get().Error(nullptr, "through the instance");
    ASSERT_EQ(raw->Log.size(), 1u);
    EXPECT_EQ(raw->Log[0].Text, "through the instance");
    Dialogs::Install(nullptr);
    EXPECT_NE(dynamic_cast<QtDialogs*>(&Dialogs::Get()), nullptr);
}

// Acts on each modal window as it appears, in order, from inside its own
// event loop; nothing waits on a clock.
class ModalActions {
public:
    using Action = std::function<void(QWidget*)>;
    explicit ModalActions(std::vector<Action> actions) : actions_(std::move(actions))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Step(); });
        timer_.start(0);
    }
    bool Done() const { return next_ == actions_.size(); }

private:
    void Step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_ || Done())
            return;
        last_ = modal;
        actions_[next_++](modal);
        if (Done())
            timer_.stop();
    }
    std::vector<Action> actions_;
    size_t next_ = 0;
    QPointer<QWidget> last_;  // a later window may reuse the address
    QTimer timer_;
};

// Ends a modal window that is not the expected one, so a failing test cannot hang.
void Dismiss(QWidget* w)
{
    ADD_FAILURE() << "unexpected modal window " << w->metaObject()->className();
    if (auto* dialog = qobject_cast<QDialog*>(w))
        dialog->done(0);
    else
        w->close();
}

struct SeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons;
};

ModalActions::Action Press(QMessageBox::StandardButton button, SeenBox& seen)
{
    return [button, &seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->button(button))
            return Dismiss(w);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(button)->click();
    };
}

struct BoxCase {
    const char* Kind;
    QMessageBox::StandardButton Press;
    bool Result;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButtons Buttons;
};

void PrintTo(const BoxCase& c, std::ostream* os)
{
    *os << c.Kind << " pressing " << QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKeys(c.Press).constData();
}

class QtMessageBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(QtMessageBox, ShowsTheTextUnderTheApplicationTitle)
{
    const auto& c = GetParam();
    QtDialogs dialogs;
    SeenBox seen;
    ModalActions actions({Press(c.Press, seen)});
    const QString text = "Audio Out failed because: \rno device";
    bool result = true;
    const QString kind = c.Kind;
    if (kind == "information")
        dialogs.Information(nullptr, text);
    else if (kind == "error")
        dialogs.Error(nullptr, text);
    else if (kind == "okcancel")
        result = dialogs.OkCancel(nullptr, text);
    else
        result = dialogs.YesNo(nullptr, text);
    ASSERT_TRUE(actions.Done());
    EXPECT_EQ(result, c.Result);
    EXPECT_EQ(seen.Title, QApplication::applicationDisplayName());
    EXPECT_EQ(seen.Text, "Audio Out failed because: \nno device");
    EXPECT_EQ(seen.Icon, c.Icon);
    EXPECT_EQ(seen.Buttons, c.Buttons);
}

INSTANTIATE_TEST_SUITE_P(Kinds, QtMessageBox, ::testing::Values(
    BoxCase{"information", QMessageBox::Ok, true, QMessageBox::Information, QMessageBox::Ok},
    BoxCase{"error", QMessageBox::Ok, true, QMessageBox::Critical, QMessageBox::Ok},
    BoxCase{"okcancel", QMessageBox::Ok, true, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel},
    BoxCase{"okcancel", QMessageBox::Cancel, false, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel},
    BoxCase{"yesno", QMessageBox::Yes, true, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
    BoxCase{"yesno", QMessageBox::No, false, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}));

ModalActions::Action Choose(const QString& name, QStringList& filters)
{
    return [name, &filters](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog)
            return Dismiss(w);
        filters = dialog->nameFilters();
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(name);
        static_cast<QDialog*>(dialog)->accept();
    };
}

TEST(QtFileDialogs, SaveShowsTheFiltersAndAddsTheExtension)
{
    QTemporaryDir dir;
    QtDialogs dialogs;
    QStringList filters;
    ModalActions actions({Choose("tone", filters)});
    const auto result = dialogs.SaveFile(nullptr, Request("WAVE file|*.wav", "wav", dir.path(), true));
    ASSERT_TRUE(actions.Done());
    EXPECT_EQ(filters, QStringList{"WAVE file (*.wav)"});
    EXPECT_EQ(result, dir.filePath("tone.wav"));
}

TEST(QtFileDialogs, SaveOverAnExistingFileAsksAndNoCancels)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("tone.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QtDialogs dialogs;
    QStringList filters;
    SeenBox seen;
    ModalActions actions({Choose("tone", filters), Press(QMessageBox::No, seen)});
    const auto result = dialogs.SaveFile(nullptr, Request("WAVE file|*.wav", "wav", dir.path(), true));
    ASSERT_TRUE(actions.Done());
    EXPECT_EQ(seen.Text, "tone.wav already exists.\nDo you want to replace it?");
    EXPECT_FALSE(result);
}

TEST(QtFileDialogs, OpenReturnsTheChosenFileOrNothing)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("presets.orv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QtDialogs dialogs;
    QStringList filters;
    const FileDialogRequest request = Request("ORV Preset|*.orv|All Files|*.*", {}, dir.path());
    {
        ModalActions actions({Choose("presets.orv", filters)});
        EXPECT_EQ(dialogs.OpenFile(nullptr, request), dir.filePath("presets.orv"));
        ASSERT_TRUE(actions.Done());
        EXPECT_EQ(filters, (QStringList{"ORV Preset (*.orv)", "All Files (*)"}));
    }
    ModalActions actions({Choose(QString(), filters)});
    EXPECT_FALSE(dialogs.OpenFile(nullptr, request));
    ASSERT_TRUE(actions.Done());
}

}  // namespace
