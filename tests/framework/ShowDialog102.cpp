// Shows dialog 102 for a screenshot: ShowDialog102 READY_FILE STOP_FILE.
#include "ScreenshotDialog.h"

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    ScreenshotDialog dlg(argv[1], argv[2]);
    return dlg.DoModal() == IDOK ? 0 : 1;
}
