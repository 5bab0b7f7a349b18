#include "app/text_resources.h"

#include "app/main_window.h"
#include "res/resource_ids.h"

char title[TITLE_BYTES];
char className[CLASS_NAME_BYTES];

namespace {
char sharedText[SHARED_TEXT_BYTES];
}

void loadTitleAndClassName(HINSTANCE instance)
{
    LoadStringA(instance, STRING_TITLE, title, TITLE_BYTES);
    LoadStringA(instance, STRING_CLASS_NAME, className, CLASS_NAME_BYTES);
}

char* loadText(UINT id)
{
    LoadStringA(MainWindow::instance, id, sharedText, SHARED_TEXT_BYTES);
    return sharedText;
}
