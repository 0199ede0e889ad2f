#pragma once
// The boost wizard: the backup question, the backup, the run that writes the
// tuning plan step by step, and the restart offer, as five pages of one window.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "form/Form.h"
#include "registry/modRegistry.h"

namespace ferro {
class WindowHost;
}

class frmBoost : public ferro::ui::Form {
public:
    static const ferro::ui::FormDef& Design();
    static constexpr const char* kSpeedTestUrl = "https://speed.cloudflare.com/";
    static constexpr const char* kSpeedTestCaption =
        "Click here to determine your actual connection speed with the Cloudflare speed test "
        "(speed.cloudflare.com)";

    explicit frmBoost(ferro::WindowHost& windows);

    void Form_Load() override;
    // The window goes: a run under way stops where it stands.
    void Form_Unload() override;

private:
    enum class Answer { Yes, No, Other };

    void Form_QueryUnload();
    void Setup_Form();
    void Clear_Form();
    void Backup_Settings();
    void Create_Settings();
    void Timer1_Timer();
    void lockForRun();
    // The backup's side of the run: no backup while it is armed or writing,
    // and each write marks the backup as the state from before a boost.
    bool runArmedOrUnderWay() const { return runStep_ != 0; }
    void disarmRunNotStarted();
    void cmdNext_Click(int index);
    void cmdBack_Click(int index);
    void cmdRestart_Click(int index);
    void Slider1_Scroll();
    void Label1_Click();
    Answer answer() const;
    std::uint32_t speedLevel() const;
    void showAll(std::initializer_list<const char*> ids);

    ferro::WindowHost& windows_;
    modRegistry::Registry registry_;

    std::int16_t CurrentStep = 0;
    // The plan step the armed timer runs next, or (while it runs) is running;
    // 0 when no run is under way.
    int runStep_ = 0;
    // Outlives the window for answers that come after it has gone.
    std::shared_ptr<bool> loaded_ = std::make_shared<bool>(true);
};
