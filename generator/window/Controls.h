#pragma once
// Small controls the generator window needs beyond the stock widgets.
#include <QColor>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace orv {

// A plain rectangle filled with its colour; it may hold child widgets.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QColor color, QWidget* parent = nullptr);
    QColor Color() const { return color_; }
    void SetColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

// A tab widget that tells a page switch made by the user (mouse, wheel or
// keyboard) apart from one made by code: only the first emits UserChange.
class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

signals:
    void UserChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TPageBar;
    void BeginUser() { ++userDepth_; }
    void EndUser() { --userDepth_; }
    int userDepth_ = 0;
};

class TPageBar : public QTabBar {
    Q_OBJECT
public:
    explicit TPageBar(TPageControl* owner) : QTabBar(owner), owner_(owner) {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TPageControl* owner_;
};

}  // namespace orv
