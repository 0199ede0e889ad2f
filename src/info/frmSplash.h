#pragma once
// The start-up window: product, maker, platform, version and slogan for a few
// seconds, then the main window.
#include <QWidget>

class QFrame;
class QTimer;

namespace ferro {
class AppWindows;
}

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(ferro::AppWindows& windows, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void Timer1_Timer();
    void Form_KeyPress();
    void Frame1_Click();
    void goOnEarly();

    ferro::AppWindows& windows_;
    QFrame* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;
};
