#pragma once
// The small window shown while a WAVE export renders: a progress bar and
// Cancel.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orv {

class TGenerator;

// Set by Cancel, read at the export's progress points, cleared by the
// export that acts on it.
inline bool ExportCancelled = false;

class TWaitForm : public QWidget {
    Q_OBJECT
public:
    explicit TWaitForm(TGenerator& generator);
    ~TWaitForm() override;

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* Button1;  // "Cancel", also Esc

    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TGenerator& generator_;
    bool placed_ = false;
};

}  // namespace orv
