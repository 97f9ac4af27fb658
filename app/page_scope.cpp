// The oscilloscope page.

#include "frm_main.h"

namespace app {

void TfrmMain::createScopePage() {}

} // namespace app
