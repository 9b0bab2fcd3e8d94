#pragma once
// Up-down arrows attached to an edit: a click reads the edit's number, steps
// it within the range and writes the integer text back into the edit, which
// runs the edit's change handler.
#include <QWidget>

#include <cstdint>

class QLineEdit;
class QToolButton;

namespace orv {

class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int32_t min, int32_t max, int32_t position,
            char decimalSeparator, QWidget* parent = nullptr);

    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t Increment() const { return increment_; }
    int32_t Position() const { return position_; }

    void Click(bool up);

    QToolButton* UpButton;
    QToolButton* DownButton;

private:
    int32_t ReadPosition() const;

    QLineEdit* associate_;
    int32_t min_;
    int32_t max_;
    int32_t increment_ = 100;
    int32_t position_;
    char sep_;
};

}  // namespace orv
