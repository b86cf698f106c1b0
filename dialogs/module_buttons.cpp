#include "dialogs/module_buttons.h"

#include "resources/resource.h"

void MarkModuleButton(HWND dialog, int module)
{
    for (int m = 1; m <= IDC_MODULE_SLOTS; ++m)
        CheckDlgButton(dialog, IDC_MODULE1 + m - 1, m == module ? BST_CHECKED : BST_UNCHECKED);
}
