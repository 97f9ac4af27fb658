// The octave-band page: its band plan on activation.

#include "frm_main.h"

namespace app {

void TfrmMain::createRtaPage()
{
    pages_[0].activate = [this] { cboOctaveTypeChange(); };
}

} // namespace app
