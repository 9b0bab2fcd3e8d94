#pragma once
// The small status window shown while a script runs: the line being
// performed, Cancel and Next.
#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

namespace orv {

class ScriptHost;

class TScriptPopup : public QWidget {
    Q_OBJECT
public:
    // A tool window of its own, without a parent: disabling the generator
    // window must not disable it.
    explicit TScriptPopup(ScriptHost& host);

    QPushButton* Button1;  // "Cancel"
    QPushButton* Button2;  // "Next"
    QLabel* Label1;
    // The help file F1 opens at topic 4; the window sets it.
    QString HelpFile;

    void FormShow();
    void FormHide();
    // Cancel: hides the window; the run ends once the current line is over.
    void Button1Click();
    // Next: ends the current wait or delay at once, and so the run.
    void Button2Click();

    // "Line 3: tone".
    void ShowLine(int32_t line, const std::string& keyword);

    // Each run takes a number; a run ends when a later one has started
    // inside it.
    uint64_t StartRun() { return ++runs_; }
    bool Superseded(uint64_t run) const { return runs_ != run; }
    // Playing is held by a delay rather than by an output, so a run started
    // inside the delay must not wait for it.
    bool delaying = false;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    ScriptHost& host_;
    uint64_t runs_ = 0;
    bool placed_ = false;
};

}  // namespace orv
