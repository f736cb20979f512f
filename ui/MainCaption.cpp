// The main caption, looked up in the text table.
#include "ui/MainCaption.h"

#include "settings/TextTable.h"

std::string LookUpMainCaption()
{
    CTextSection texts(g_textTable, "Main Dialog");
    return texts.Get("Caption", "E-mail accounts configurator");
}
