// The FFT page.

#include "frm_main.h"

namespace app {

void TfrmMain::createFftPage() {}

} // namespace app
