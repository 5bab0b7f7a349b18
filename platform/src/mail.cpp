#include "mail.h"

#include "paths.h"
#include "process_launch.h"
#include "records.h"
#include "settings.h"

#include <string>
#include <vector>

namespace zplat {
namespace {

// The note uses Windows line breaks in either order; the composer wants "\n".
std::string withUnixLineBreaks(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            char next = i + 1 < text.size() ? text[i + 1] : '\0';
            if ((next == '\r' || next == '\n') && next != c) ++i;
            result += '\n';
        } else {
            result += c;
        }
    }
    return result;
}

bool otherFieldsZero(const MapiMessage& message, ULONG reserved) {
    return reserved == 0 && message.ulReserved == 0 && !message.lpszMessageType &&
           !message.lpszDateReceived && !message.lpszConversationID && message.flFlags == 0 &&
           !message.lpOriginator && (message.nRecipCount != 0 || !message.lpRecips) &&
           (message.nFileCount != 0 || !message.lpFiles);
}

}  // namespace

ULONG FAR PASCAL mapiSendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                              FLAGS flags, ULONG reserved) {
    if (!message) return MAPI_E_FAILURE;
    std::string subject = message->lpszSubject ? message->lpszSubject : "";
    std::string note = message->lpszNoteText ? message->lpszNoteText : "";
    record(&Records::mails,
           platformtest::MailSent{session, uiParam, flags, subject, note, message->nRecipCount,
                                  message->nFileCount, otherFieldsZero(*message, reserved)});
    if (!mailLaunches()) return mailSendResult();

    std::vector<std::string> command{"xdg-email", "--subject", subject, "--body",
                                     withUnixLineBreaks(note)};
    for (ULONG i = 0; message->lpFiles && i < message->nFileCount; ++i)
        if (message->lpFiles[i].lpszPathName) {
            command.push_back("--attach");
            command.push_back(hostPathFor(message->lpFiles[i].lpszPathName));
        }
    for (ULONG i = 0; message->lpRecips && i < message->nRecipCount; ++i) {
        const MapiRecipDesc& recipient = message->lpRecips[i];
        const char* address = recipient.lpszAddress ? recipient.lpszAddress : recipient.lpszName;
        if (!address || recipient.ulRecipClass == MAPI_ORIG) continue;
        std::string text = address;
        if (text.rfind("SMTP:", 0) == 0) text = text.substr(5);
        if (recipient.ulRecipClass == MAPI_CC) command.push_back("--cc");
        if (recipient.ulRecipClass == MAPI_BCC) command.push_back("--bcc");
        command.push_back(text);
    }
    // The composer is modal for the caller: its messages go on meanwhile.
    return runDispatchingMessages(command) == 0 ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}

}  // namespace zplat
