#include "status_line.h"

#include "string_table.h"

#include <QStringList>

namespace app {

std::uint64_t droppedBlocks(std::uint64_t droppedFrames, int blockFrames)
{
    const auto block = static_cast<std::uint64_t>(blockFrames > 0 ? blockFrames : 1);
    return (droppedFrames + block - 1) / block;
}

QString statusText(const CaptureFacts& f)
{
    QStringList parts{LoadStr(sStatusInput).arg(f.device)};
    if (f.source.dwSourceRate != 0 && f.source.dwSourceRate != f.rate)
        parts << LoadStr(sStatusResampled).arg(f.source.dwSourceRate).arg(f.rate);
    else
        parts << LoadStr(sStatusRate).arg(f.rate);
    if (f.source.wSourceChannel != 0)
        parts << LoadStr(sStatusChannel).arg(f.source.wSourceChannel).arg(f.source.wSourceChannels);
    else if (f.source.wSourceChannels > 1)
        parts << LoadStr(sStatusMixed).arg(f.source.wSourceChannels);
    parts << (f.running || f.blocks > 0 ? LoadStr(sStatusBlocks).arg(f.blocks)
                                        : LoadStr(sStatusStopped));
    parts << LoadStr(sStatusDropped).arg(droppedBlocks(f.droppedFrames, f.blockFrames));
    if (f.overflows > 0)
        parts << LoadStr(sStatusOverflows).arg(f.overflows);
    if (f.repairedSamples > 0)
        parts << LoadStr(sStatusRepaired).arg(f.repairedSamples);
    if (f.running && f.stalled)
        parts << LoadStr(sStatusStalled);
    else if (!f.running && f.blocks > 0)
        parts << LoadStr(sStatusStopped);
    return parts.join(QStringLiteral(" · "));
}

} // namespace app
