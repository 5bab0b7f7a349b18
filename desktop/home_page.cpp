#include "desktop/home_page.h"

#include <shellapi.h>

#include "app/text_resources.h"
#include "res/resource_ids.h"

void openHomePage(HWND owner)
{
    // A page that cannot be opened is not reported.
    ShellExecuteA(owner, "open", loadText(STRING_HOME_PAGE_ADDRESS), nullptr, nullptr,
                  SW_SHOWNORMAL);
}
