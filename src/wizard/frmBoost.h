#pragma once
// The boost wizard: the backup question, the backup, the run that writes the
// tuning plan step by step, and the restart offer, as five pages of one window.
#include <QWidget>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "registry/modRegistry.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;

namespace ferro {
class OsServices;
class RegistryBackend;
}  // namespace ferro

class frmBoost : public QWidget {
    Q_OBJECT

public:
    // stepIntervalMs is the pause between two steps of the run (3000 in the
    // program); the Backup folder lives in programFolder.
    frmBoost(ferro::OsServices& os, ferro::RegistryBackend& registry, std::string programFolder,
             int stepIntervalMs = 3000, QWidget* parent = nullptr);

    // Closes the window without the "Setup was not completed." notice, for
    // when the program ends itself. A run under way stops where it stands.
    void closeSilently();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Answer { Yes, No, Other };

    void createControls();
    void Setup_Form();
    void Clear_Form();
    void Backup_Settings();
    void Create_Settings();
    void Timer1_Timer();
    void lockForRun();
    // The backup's side of the run: no backup while it is armed or writing,
    // and each write marks the backup as the state from before a boost.
    bool runArmedOrUnderWay() const { return runStep_ != 0; }
    void noteBoostInBackup(int step);
    void disarmRunNotStarted();
    void cmdNext_Click(int index);
    void cmdBack_Click(int index);
    void cmdRestart_Click(int index);
    void Slider1_Scroll();
    void Label1_Click();
    Answer answer() const;
    std::uint32_t speedLevel() const;
    static void showAll(std::initializer_list<QWidget*> controls);

    ferro::OsServices& os_;
    modRegistry::Registry registry_;
    std::string programFolder_;

    std::int16_t CurrentStep = 0;
    // The plan step the armed timer runs next, or (while it runs) is running;
    // 0 when no run is under way.
    int runStep_ = 0;
    bool closingSilently_ = false;
    QTimer* Timer1 = nullptr;

    // Page controls; arrays as the pages address them.
    std::array<QLabel*, 5> lblInformation{};
    std::array<QLabel*, 3> lblNote{};
    std::array<QLabel*, 1> lblConfirm{};
    std::array<QComboBox*, 1> cmbConfirm{};
    std::array<QLabel*, 1> lblBackingUp{};
    std::array<QLabel*, 2> lblSetting{};
    std::array<QLabel*, 1> lblOptimizing{};
    std::array<QPushButton*, 1> cmdBack{};
    std::array<QPushButton*, 1> cmdNext{};
    std::array<QPushButton*, 2> cmdRestart{};

    // On every page, untouched by the page logic.
    QGroupBox* Frame1 = nullptr;
    QSlider* Slider1 = nullptr;
    QLineEdit* SpdTxt = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Picture1 = nullptr;
    std::array<QFrame*, 18> segments_{};  // Text1 to Text18
};
