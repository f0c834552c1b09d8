#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/widgets/intro/blur_introduction_view.h"
#include "app/widgets/intro/introduction_delegate.h"
#include "app/widgets/intro/introduction_panel.h"
#include "platform/uikit/views/ui_view.h"

namespace quorvel {

enum class GuidanceType { standard, landscape };

// The first-run overlay of the timer screen: two panels on the technique and the counters (on a pad in
// either orientation), or one on tapping the clock in landscape on a phone. Scrolling past the last
// panel records it as seen, tells the owner, lets the device rotate again and logs the event. Removing
// the overlay is the owner's business. Main thread.
class GuidanceView : public platform::UIView, public IntroductionDelegate {
public:
    // Built at once for the frame.
    static std::shared_ptr<GuidanceView> make(const platform::CGRect& frame, GuidanceType function);

    GuidanceType function() const { return function_; }
    const std::shared_ptr<BlurIntroductionView>& holder() const { return holder_; }
    const std::vector<std::shared_ptr<IntroductionPanel>>& guidancePanels() const { return guidancePanels_; }
    const std::function<void(GuidanceType)>& didEndGoude() const { return didEndGoude_; }
    void setDidEndGoude(std::function<void(GuidanceType)> closure) { didEndGoude_ = std::move(closure); }

    const std::string phonePanelOneTitle = "Welcome to\nQuorvel";
    const std::string phonePanelOneDescription =
        "Here is how it works:\n\n1. Choose a single topic to focus on.\n\n2. Spent 25 minutes working on "
        "that topic while avoiding multi-tasking.\n\n3. Take a short break. After every four cycles, take a "
        "long break.\n\n4. Repeat.\n";
    const std::string phonePanelTwoTitle = "Focus Counter";
    const std::string phonePanelTwoDescription = "Round is number of Focus Sessions you work on before "
                                                 "taking a long break.\n\nGoal is number of Focus "
                                                 "Sessions you wish to complete daily.\n\nRound & Goal will "
                                                 "be set to zero at midnight by default. You "
                                                 "can change the reset time at Options.\n";
    const std::string phoneLandscapeTitle = "Landscape Mode";
    const std::string phoneLandscapeDescription = "You can touch timer counter to start and stop.";

    // Builds again when the size or the safe area changed since the last build: the introduction starts
    // over at its first panel. A pass at the same size keeps the panel the user paged to.
    void layoutSubviews() override;

    virtual void buildGuidance(GuidanceType type);
    virtual std::shared_ptr<IntroductionPanel> makeLandscapePanel();
    void finishGuidance();

    void introduction(BlurIntroductionView& introductionView, IntroductionPanel& panel, long index) override;
    void introduction(BlurIntroductionView& introductionView, IntroductionFinishType finishType) override;

protected:
    GuidanceView(const platform::CGRect& frame, GuidanceType function);

private:
    // Where the panels go: the whole view but for the sensor housing and the home indicator, which the
    // dimming covers. The top is the panels' own: they start low enough for the status bar.
    platform::CGRect panelArea() const;

    GuidanceType function_ = GuidanceType::standard;
    std::shared_ptr<BlurIntroductionView> holder_;
    std::vector<std::shared_ptr<IntroductionPanel>> guidancePanels_;
    std::function<void(GuidanceType)> didEndGoude_;
    platform::CGRect builtArea_;
};

}  // namespace quorvel
