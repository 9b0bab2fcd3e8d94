#pragma once
// The compatibility settings: sample rate, buffer size and buffer count,
// remembered between runs as the positions of the selected items.
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace orv {

class TGenerator;

class TSettingsForm : public QWidget {
    Q_OBJECT
public:
    // Reads the stored configuration, sets the generator's sample rate and
    // recomputes it.
    explicit TSettingsForm(TGenerator& generator);
    ~TSettingsForm() override;

    QLabel* Label1;
    QComboBox* FsList;
    QLabel* Label2;
    QComboBox* BufferSize;
    QLabel* Label3;
    QComboBox* Buffers;
    QPushButton* CloseButton;
    QPushButton* HelpButton;

    void FormCreate();
    void FsListChange();
    void CloseButtonClick();
    void HelpButtonClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ReadPosition(const char* name, QComboBox* list, int defaultPosition);

    TGenerator& generator_;
};

}  // namespace orv
