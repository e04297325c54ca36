// The keyboard everywhere: Ctrl+digit chooses a category, Enter presses the focused
// skinned button, Tab moves the focus, and the shown category's button stays pressed.
#include "catalogue/settings.h"
#include "mainwindow_fixture.h"

namespace apptest {
namespace {

constexpr int CategoryButtons[] = {ids::BasicButton,   ids::TravelButton,   ids::FoodButton,
                                   ids::LodgingButton, ids::BusinessButton, ids::SightButton,
                                   ids::SocialButton,  ids::ShopingButton,  ids::EmergencyButton,
                                   ids::QuestionButton};

TEST_F(MainWindowUse, KeyboardChoosesCategoriesPressesButtonsAndShowsTheCurrentOne) {
    // The buttons drawn pressed now, as category numbers.
    auto latched = [this] {
        std::vector<int> on;
        for (int i = 0; i < 10; ++i)
            if (Control<CXSkinButton>(CategoryButtons[i]).IsLatched()) on.push_back(i + 1);
        return on;
    };
    auto ctrlKey = [this](WPARAM vk) {
        backend.KeyDown(VK_CONTROL);
        backend.Key(vk);
        backend.KeyUp(VK_CONTROL);
    };
    std::vector<std::vector<std::u16string>> rowsOf(11);
    std::size_t writesBefore = 0;
    std::vector<std::function<void()>> steps;
    for (int n = 1; n <= 10; ++n) {
        steps.push_back([=] { ctrlKey(static_cast<WPARAM>(n == 10 ? '0' : '0' + n)); });
        steps.push_back([&, n] {
            EXPECT_EQ(latched(), std::vector<int>{n});
            rowsOf[n] = Rows();
            EXPECT_FALSE(rowsOf[n].empty()) << n;
            if (n > 1) {
                EXPECT_NE(rowsOf[n], rowsOf[n - 1]) << n;
            }
        });
    }
    // Enter on a focused category button presses it; Space speaks.
    steps.push_back([&] {
        Control<CXSkinButton>(ids::TravelButton).SetFocus();
        backend.Key(VK_RETURN);
    });
    steps.push_back([&] {
        EXPECT_EQ(latched(), std::vector<int>{2});
        EXPECT_EQ(Rows(), rowsOf[2]);
        Control<CXSkinButton>(ids::FoodButton).SetFocus();
        backend.Key(VK_RETURN);
    });
    steps.push_back([&] {
        EXPECT_EQ(latched(), std::vector<int>{3});
        EXPECT_EQ(Rows(), rowsOf[3]);
        EXPECT_EQ(dlg.GetFocus(), List().GetSafeHwnd());
        writesBefore = Writes().size();
        backend.Key(VK_SPACE);
    });
    // Tab leaves the list for another control and Shift+Tab comes back.
    steps.push_back([&] {
        EXPECT_GT(Writes().size(), writesBefore);
        backend.Key(VK_TAB);
    });
    steps.push_back([&] {
        EXPECT_NE(dlg.GetFocus(), List().GetSafeHwnd());
        backend.KeyDown(VK_SHIFT);
        backend.Key(VK_TAB);
        backend.KeyUp(VK_SHIFT);
    });
    steps.push_back([&] {
        EXPECT_EQ(dlg.GetFocus(), List().GetSafeHwnd());
        Click(ids::SearchViewButton);
    });
    // Outside the category view no category button is pressed; Ctrl+H keeps readable colours.
    steps.push_back([&] {
        EXPECT_TRUE(latched().empty());
        ctrlKey('H');
    });
    steps.push_back([&] { EXPECT_TRUE(catalogue::ReadSettings().readableColours); });
    Run(std::move(steps));
}

}  // namespace
}  // namespace apptest
