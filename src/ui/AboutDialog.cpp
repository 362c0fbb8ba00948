#include "ui/AboutDialog.h"

#include "resource.h"

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}

BOOL AboutDialog::OnInitDialog() {
    const BOOL result = Dialog::OnInitDialog();
    CenterWindow();
    return result;
}
