#include "platform_test_support.h"

namespace {

class Mapi : public PlatformTest {
protected:
    ULONG send(LPMAPISENDMAIL sendMail, MapiMessage& message) {
        return sendMail(0, reinterpret_cast<ULONG_PTR>(owner), &message,
                        MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG, 0);
    }
    LPMAPISENDMAIL lookUp() {
        HMODULE library = LoadLibraryA("MAPI32.DLL");
        if (!library) return nullptr;
        return reinterpret_cast<LPMAPISENDMAIL>(
            reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    }
    HWND owner = reinterpret_cast<HWND>(0x5150);
};

TEST_F(Mapi, MissingByDefaultInTests) {
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL"), nullptr);
    EXPECT_EQ(platformtest::librariesLoaded(), std::vector<std::string>{"MAPI32.DLL"});
}

TEST_F(Mapi, ALibraryWithoutTheFunction) {
    platformtest::setMailSystem(platformtest::MailSystem::WithoutSendMail);
    HMODULE library = LoadLibraryA("mapi32.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetProcAddress(library, "MAPISendMail"), nullptr);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(Mapi, SendMailIsRecordedAndAnswersAsConfigured) {
    platformtest::setMailSystem(platformtest::MailSystem::Available, MAPI_USER_ABORT);
    LPMAPISENDMAIL sendMail = lookUp();
    ASSERT_NE(sendMail, nullptr);
    MapiMessage message{};
    char subject[] = "Zimbalo";
    char note[] = "line one\n\rline two";
    message.lpszSubject = subject;
    message.lpszNoteText = note;
    EXPECT_EQ(send(sendMail, message), ULONG(MAPI_USER_ABORT));

    auto mails = platformtest::mailsSent();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].session, 0u);
    EXPECT_EQ(mails[0].uiParam, reinterpret_cast<ULONG_PTR>(owner));
    EXPECT_EQ(mails[0].flags, 0x0Bu);
    EXPECT_EQ(mails[0].subject, "Zimbalo");
    EXPECT_EQ(mails[0].noteText, "line one\n\rline two");
    EXPECT_EQ(mails[0].recipCount, 0u);
    EXPECT_EQ(mails[0].fileCount, 0u);
    EXPECT_TRUE(mails[0].otherFieldsZero);

    platformtest::setMailSystem(platformtest::MailSystem::Available);
    MapiRecipDesc originator{};
    message.lpOriginator = &originator;
    EXPECT_EQ(send(sendMail, message), ULONG(SUCCESS_SUCCESS));
    EXPECT_FALSE(platformtest::mailsSent().back().otherFieldsZero);
}

TEST_F(Mapi, OtherLibrariesAreMissing) {
    platformtest::setMailSystem(platformtest::MailSystem::Available);
    EXPECT_EQ(LoadLibraryA("KERNEL32.DLL"), nullptr);
    EXPECT_NE(LoadLibraryA("C:\\WINDOWS\\SYSTEM32\\Mapi32.dll"), nullptr);
}

}  // namespace
