// The program's main caption: title of the mode selection, the standard dialog and the wizard.
#pragma once

#include <string>

// "Caption" of section "Main Dialog", with its built-in default.
std::string LookUpMainCaption();
