#include "app_test_support.h"

#include <cstring>
#include <string>

#include "app/text_resources.h"
#include "res/resource_ids.h"

namespace {

std::string text(UINT id)
{
    return loadText(id);
}

}  // namespace

TEST_F(AppTest, TheRecommendationFollowsItsSixPoints)
{
    const std::string expected =
        "This recommendation was generated with the software \"Zimbalo\".\n\r\n\r"
        " \"Zimbalo\" changes the pitch of your voice: with a higher pitch you sound like a small"
        " cartoon creature, with a lower pitch you get a deep voice. All you need is a "
        "microphone.\n\r"
        "Instead of your microphone you can also plug in the sound output of your TV card or your"
        " audio system and listen to it. \n\n"
        "Best of all: Zimbalo costs nothing!\n\r"
        "It is great for your next karaoke party.\n\r\n\r"
        " You can get \"Zimbalo\" and other great software products at"
        " http://www.zimbalo-soundworks.example.com/\n\r\n\r";
    EXPECT_EQ(text(STRING_RECOMMENDATION), expected);
    EXPECT_LT(expected.size(), static_cast<size_t>(SHARED_TEXT_BYTES));
}

TEST_F(AppTest, TheRecommendationEndsWithTheHomePageAddress)
{
    const std::string address = text(STRING_HOME_PAGE_ADDRESS);
    ASSERT_EQ(address.rfind("http://", 0), 0u);
    const std::string recommendation = text(STRING_RECOMMENDATION);
    EXPECT_EQ(recommendation.substr(recommendation.size() - address.size() - 4),
              address + "\n\r\n\r");
}

TEST_F(AppTest, TheRecommendationIsTheLongestTextAndFitsTheSharedBuffer)
{
    const size_t longest = text(STRING_RECOMMENDATION).size();
    for (UINT id = STRING_CLASS_NAME; id <= STRING_RECORD_BUTTON; ++id) {
        if (id != STRING_RECOMMENDATION) {
            EXPECT_LT(text(id).size(), longest) << id;
        }
    }
    EXPECT_LT(text(STRING_TITLE).size(), longest);
    EXPECT_LE(longest, 699u);
}
