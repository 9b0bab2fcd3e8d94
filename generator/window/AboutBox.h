#pragma once
// The About window: program icon, product name, version, Help and OK.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace orv {

class TGenerator;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(TGenerator& generator);
    ~TAboutBox() override;

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QPushButton* HelpButton;
    QPushButton* OKButton;
    QString HelpFile;

    void HelpButtonClick();
    void OKButtonClick();

private:
    TGenerator& generator_;
};

}  // namespace orv
