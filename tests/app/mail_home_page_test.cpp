#include "app_test_support.h"

#include "app/main_window.h"
#include "app/text_resources.h"
#include "res/resource_ids.h"

namespace {

const char HOME_PAGE[] = "http://www.zimbalo-soundworks.example.com/";

class SharingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        offerTwoDevicesOfEachKind();
        window = createWindow();
        ASSERT_NE(window, nullptr);
    }
    void clickAndDispatch(HWND button)
    {
        platformtest::clickButton(button);
        platformtest::dispatchPending();
    }
    HWND window = nullptr;
};

}  // namespace

TEST_F(SharingTest, MailButtonOpensTheCompositionWithTheRecommendation)
{
    platformtest::setMailSystem(platformtest::MailSystem::Available, SUCCESS_SUCCESS);
    platformtest::clickButton(MainWindow::mailButton);
    // Deferred to the posted message.
    EXPECT_TRUE(platformtest::mailsSent().empty());
    platformtest::dispatchPending();

    const std::vector<platformtest::MailSent> mails = platformtest::mailsSent();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].session, 0u);
    EXPECT_EQ(mails[0].uiParam, reinterpret_cast<ULONG_PTR>(window));
    EXPECT_EQ(mails[0].flags, 0x0Bu);
    EXPECT_EQ(mails[0].subject, "Zimbalo");
    EXPECT_EQ(mails[0].noteText, loadText(STRING_RECOMMENDATION));
    EXPECT_EQ(mails[0].recipCount, 0u);
    EXPECT_EQ(mails[0].fileCount, 0u);
    EXPECT_TRUE(mails[0].otherFieldsZero);
    EXPECT_EQ(platformtest::librariesLoaded(), std::vector<std::string>{"MAPI32.DLL"});
    EXPECT_TRUE(platformtest::messageBoxes().empty());
}

struct MailFailureCase {
    const char* name;
    platformtest::MailSystem system;
    ULONG sendResult;
    const char* message;
    size_t mailsSent;
};

class MailFailureTest : public SharingTest,
                        public ::testing::WithParamInterface<MailFailureCase> {};

TEST_P(MailFailureTest, ReportsEachFailureInItsOwnBox)
{
    const MailFailureCase& c = GetParam();
    platformtest::setMailSystem(c.system, c.sendResult);
    clickAndDispatch(MainWindow::mailButton);
    EXPECT_EQ(platformtest::mailsSent().size(), c.mailsSent);
    const std::vector<platformtest::MessageBoxShown> boxes = platformtest::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, window);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, MailFailureTest,
    ::testing::Values(MailFailureCase{"NoLibrary", platformtest::MailSystem::Missing, 0,
                                      "Cannot load MAPI.DLL", 0},
                      MailFailureCase{"NoSendMail", platformtest::MailSystem::WithoutSendMail, 0,
                                      "Cannot find MAPISendMail", 0},
                      MailFailureCase{"Cancelled", platformtest::MailSystem::Available,
                                      MAPI_USER_ABORT, "Cannot send message", 1},
                      MailFailureCase{"LogonFailed", platformtest::MailSystem::Available,
                                      MAPI_E_LOGON_FAILURE, "Cannot send message", 1}),
    [](const ::testing::TestParamInfo<MailFailureCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(SharingTest, EachMailRequestLoadsTheLibraryAgain)
{
    platformtest::setMailSystem(platformtest::MailSystem::Available, SUCCESS_SUCCESS);
    clickAndDispatch(MainWindow::mailButton);
    clickAndDispatch(MainWindow::mailButton);
    EXPECT_EQ(platformtest::mailsSent().size(), 2u);
    EXPECT_EQ(platformtest::librariesLoaded(),
              (std::vector<std::string>{"MAPI32.DLL", "MAPI32.DLL"}));
}

TEST_F(SharingTest, HomePageButtonOpensTheAddress)
{
    platformtest::clickButton(MainWindow::homePageButton);
    EXPECT_TRUE(platformtest::shellExecutions().empty());
    platformtest::dispatchPending();
    const std::vector<platformtest::ShellExecution> runs = platformtest::shellExecutions();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].owner, window);
    EXPECT_EQ(runs[0].verb, "open");
    EXPECT_EQ(runs[0].file, HOME_PAGE);
    EXPECT_EQ(runs[0].parameters, "");
    EXPECT_EQ(runs[0].directory, "");
    EXPECT_EQ(runs[0].show, SW_SHOWNORMAL);
    EXPECT_TRUE(platformtest::messageBoxes().empty());
}

TEST_F(SharingTest, ClicksActInTheirOrder)
{
    platformtest::setMailSystem(platformtest::MailSystem::Missing);
    platformtest::clickButton(MainWindow::homePageButton);
    platformtest::clickButton(MainWindow::mailButton);
    platformtest::clickButton(MainWindow::homePageButton);
    platformtest::dispatchPending();
    EXPECT_EQ(platformtest::shellExecutions().size(), 2u);
    EXPECT_EQ(platformtest::messageBoxes().size(), 1u);
}
