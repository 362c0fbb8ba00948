#include "ui/AboutDialog.h"

#include "resource.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}
