#pragma once
// Memory files: stored measurements on disk, one or many slots of one page in
// one self-describing UTF-8 text file, numbers with a dot whatever the
// locale. The first line says whose memories they are, so a file of the
// octave-band page is never read as the FFT page's or the other way round.
//
//   Spectrion spectra 1          the octave-band page's memories
//   memory: 3
//   comment: Wohnzimmer, vorne
//   color: 0x0000FF00            colour value, 0x00BBGGRR or a system colour
//   stored: 2026-12-07T22:41:05  (empty when not known)
//   window: Hann                 window type of the octave-band analysis
//   averaging: 0.02              weight of the newest block in the display
//   dropped: 0                   blocks lost in the capture until then (when known)
//   levels: Bezug: dB SPL; ...   the levels' reference, weighting, calibration
//                                and curve in words (optional)
//   entries: 32                  band-plan entries (borders) that follow
//   entry, border_Hz, level_dB, row, x, y
//   0, 17, nan, 385, 0, 0        entry 0 bounds no band: its level is nan
//   1, 21.2, 48.25, 300, 5, 300
//   ...
//   end
//
// A band's level is the curve's, averaged, in dB of the reference the levels
// line names (without one: relative to an amplitude of 1 in transform
// units; a file may also hold -inf: no power); row is its
// screen row in the last block before averaging; x, y the point of the
// curve as drawn. A stored curve is drawn from borders and levels only.
//
// The FFT page's memories have the same lines up to the levels line (window
// "Welch", averaging also "infinite": the mean since the start), then
//
//   length: 65536                transform length: 8192, 16384, 32768 or 65536
//   rate: 48000                  sample rate in Hz
//   bin, frequency_Hz, level_dBFS
//   0, 0, -inf                   length / 2 lines, bin k at k rate / length Hz
//   1, 0.732421875, -97.25
//   ...
//   end
//
// with every bin's level in dBFS whatever the reference (the levels line
// tells it and its calibration), -inf for a bin without power.
// UI thread only.

#include "slot_tables.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <span>
#include <vector>

namespace memories {

enum class MemoryKind { Rta, Fft };

// Names of the window types, by item (the settings' list), then the FFT
// page's own window.
inline constexpr const char* kWindowNames[] = {"Rectangular", "Hann", "Hamming", "Blackman-Harris",
                                               "Welch"};
inline constexpr int kWelchWindow = 4;
// Averaging factors, by item ("Keine", "Schnell", "Langsam", "Sehr Langsam");
// the FFT page's item 4, "Unendlich", is the plain mean and has no factor.
inline constexpr float kAveragingFactors[] = {1.0f, 0.7f, 0.2f, 0.02f};
inline constexpr int kInfiniteAveraging = 4;

// The name a memory file is written to: `chosen`, with ".txt" (".fft.txt"
// for the FFT page's) appended when it has no suffix, so that the open
// dialog's filter lists it.
QString memoryFileName(const QString& chosen, MemoryKind kind = MemoryKind::Rta);

// The text of a file holding the given slots of `table` (numbers 0..8), in
// the order given. An FFT slot without a spectrum is written with none of
// its bins, which no reader takes: the caller writes slots that hold data.
QByteArray memoryFileText(MemoryKind kind, const SlotTable& table, std::span<const int> memories);

struct LoadedMemory {
    int memory = 0;
    std::unique_ptr<SpectrumRec> rec; // HasData set, DrawMe clear
};

// Parses a whole file of either kind. On success fills `out` and `kind` and
// returns an empty string; on anything that is not such a file returns a
// one-line German reason and leaves both as they were.
QString parseMemoryFile(const QByteArray& text, std::vector<LoadedMemory>& out,
                        MemoryKind* kind = nullptr);

// The same on files. Writing is atomic (a failed write leaves the previous
// file); both return an empty string or a German message naming the file.
QString writeMemoryFile(const QString& path, MemoryKind kind, const SlotTable& table,
                        std::span<const int> memories);
QString readMemoryFile(const QString& path, std::vector<LoadedMemory>& out,
                       MemoryKind* kind = nullptr);

} // namespace memories
