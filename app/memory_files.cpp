// The memories on disk: a slot's "Save to Disk" and "Open from Disk", the
// File menu's spectrum files, the text and CSV exports, memories opened at
// start-up, and the question before unsaved memories are lost at quit.

#include "form_widgets.h"
#include "frm_main.h"

#include "calibrated_levels.h"
#include "message_box.h"
#include "string_table.h"

#include "memories/csv_export.h"
#include "memories/memory_file.h"
#include "memories/spectrum_export.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

#include <cmath>
#include <iterator>
#include <vector>

namespace app {
namespace {

const QString kSpectraFilter = "Spectra (*.txt);;All files (*)";
const QString kFftSpectraFilter = "FFT spectra (*.fft.txt);;Spectra (*.txt);;All files (*)";

const QString& spectraFilterOf(memories::MemoryKind kind)
{
    return kind == memories::MemoryKind::Fft ? kFftSpectraFilter : kSpectraFilter;
}

bool hasLevels(const memories::SpectrumRec& rec)
{
    for (int j = 1; j < rec.bands; ++j)
        if (!std::isnan(rec.levels[j]))
            return true;
    return false;
}

// Some stored slot changed since it was last saved or opened.
bool hasUnsavedSlots(const memories::SlotTable& table)
{
    for (int k = 1; k <= 8; ++k) {
        const memories::SpectrumRec& rec = table[static_cast<std::size_t>(k)];
        if (rec.HasData && rec.unsaved)
            return true;
    }
    return false;
}

} // namespace

void TfrmMain::createMemoryFileCommands()
{
    connect(Openspectratomemory1, &QAction::triggered, this,
            [this] { Openspectratomemory1Click(); });
    connect(Saveallstoredspectra1, &QAction::triggered, this, [this] { saveAllStoredSpectra(); });
    connect(SaveSpectrum1, &QAction::triggered, this, [this] { SaveSpectrum1Click(); });
    SaveCsv1 = new QAction(withAccessKey(LoadStr(sExportCsvMenu), 'C'), File1);
    File1->insertAction(SaveSpectrum1, SaveCsv1);
    File1->insertAction(SaveCsv1, SaveSpectrum1);
    connect(SaveCsv1, &QAction::triggered, this, [this] { SaveCsv1Click(); });
    for (QAction* a : File1->actions())
        a->setVisible(true);
}

void TfrmMain::SavetoDisk1Click()
{
    if (!CurrentButton || !slotOf(CurrentButton).HasData || !memoryDialogs.file)
        return;
    const memories::MemoryKind kind = memoryKind();
    const QString chosen = memoryDialogs.file("Save to Disk", spectraFilterOf(kind), true);
    if (chosen.isEmpty())
        return;
    const int s[] = {CurrentButton->objectName().back().digitValue()};
    memories::SlotTable& table = memoryTable(kind);
    const QString error =
        memories::writeMemoryFile(memories::memoryFileName(chosen, kind), kind, table, s);
    if (!error.isEmpty()) {
        ShowMessage(this, error);
        return;
    }
    table[static_cast<std::size_t>(s[0])].unsaved = false;
}

bool TfrmMain::saveAllStoredSpectra()
{
    return saveAllStoredSpectra(memoryKind());
}

bool TfrmMain::saveAllStoredSpectra(memories::MemoryKind kind)
{
    memories::SlotTable& table = memoryTable(kind);
    std::vector<int> stored;
    for (int k = 1; k <= 8; ++k)
        if (table[static_cast<std::size_t>(k)].HasData)
            stored.push_back(k);
    if (stored.empty()) {
        ShowMessage(this, LoadStr(sNoStoredSpectra));
        return false;
    }
    if (!memoryDialogs.file)
        return false;
    // The title names the page, since quitting may save both pages' memories.
    const QString title = Saveallstoredspectra1->text().remove('&') + " – " +
                          LoadStr(kind == memories::MemoryKind::Fft ? sMemoryFft : sMemoryRta);
    const QString chosen = memoryDialogs.file(title, spectraFilterOf(kind), true);
    if (chosen.isEmpty())
        return false;
    const QString error =
        memories::writeMemoryFile(memories::memoryFileName(chosen, kind), kind, table, stored);
    if (!error.isEmpty()) {
        ShowMessage(this, error);
        return false;
    }
    for (const int k : stored)
        table[static_cast<std::size_t>(k)].unsaved = false;
    return true;
}

QString TfrmMain::readMemories(const QString& path, std::vector<memories::LoadedMemory>& loaded,
                               memories::MemoryKind& kind)
{
    if (QString error = memories::readMemoryFile(path, loaded, &kind); !error.isEmpty())
        return error;
    // An FFT file's bins are in dBFS, so without a levels line they are just that.
    for (memories::LoadedMemory& m : loaded)
        m.rec->basis = kind == memories::MemoryKind::Fft && m.rec->description.isEmpty()
                           ? engine::LevelBasis{engine::LevelReference::Dbfs, 0.0}
                           : levelBasisOfDescription(m.rec->description, m.rec->windowType);
    return {};
}

bool TfrmMain::openSpectra(const QString& title, std::vector<memories::LoadedMemory>& loaded)
{
    if (!memoryDialogs.file)
        return false;
    const memories::MemoryKind wanted = memoryKind();
    const QString path = memoryDialogs.file(title, spectraFilterOf(wanted), false);
    if (path.isEmpty())
        return false;
    std::vector<memories::LoadedMemory> read;
    memories::MemoryKind kind = wanted;
    if (const QString error = readMemories(path, read, kind); !error.isEmpty()) {
        ShowMessage(this, error);
        return false;
    }
    // Each page's memories have their own kind of data: never one for the other.
    if (kind != wanted) {
        ShowMessage(this, LoadStr(kind == memories::MemoryKind::Fft ? sFileHoldsFftMemories
                                                                    : sFileHoldsRtaMemories)
                              .arg(path));
        return false;
    }
    loaded = std::move(read);
    return true;
}

void TfrmMain::putLoadedMemory(memories::MemoryKind kind, int slot,
                               const memories::SpectrumRec& rec, bool show)
{
    memories::SpectrumRec& target = memoryTable(kind)[static_cast<std::size_t>(slot)];
    target = rec;
    if (memoryKind() != kind || !grpMemory->isVisibleTo(this))
        return;
    QToolButton* b = mem[static_cast<std::size_t>(slot)];
    if (show)
        b->setChecked(true);
    b->setToolTip(target.comment);
    setCaptionColour(b, target.Color);
}

void TfrmMain::OpenfromDisk1Click()
{
    std::vector<memories::LoadedMemory> loaded;
    if (!CurrentButton || !openSpectra("Open from Disk", loaded))
        return;
    // The slot under the mouse takes the first memory of the file and keeps
    // its shown state.
    putLoadedMemory(memoryKind(), CurrentButton->objectName().back().digitValue(),
                    *loaded.front().rec, false);
    enableStoredButtons();
    memoriesChanged();
}

void TfrmMain::showLoadedMemories(memories::MemoryKind kind,
                                  const std::vector<memories::LoadedMemory>& loaded)
{
    // Each memory goes back to its own slot, shown; the last measurement stays live.
    for (const memories::LoadedMemory& m : loaded)
        if (m.memory >= 1)
            putLoadedMemory(kind, m.memory, *m.rec, true);
    if (memoryKind() == kind && grpMemory->isVisibleTo(this)) {
        enableStoredButtons();
        memoriesChanged();
    } else {
        for (const memories::LoadedMemory& m : loaded)
            if (m.memory >= 1)
                memoryTable(kind)[static_cast<std::size_t>(m.memory)].DrawMe = true;
    }
}

void TfrmMain::Openspectratomemory1Click()
{
    std::vector<memories::LoadedMemory> loaded;
    if (openSpectra(LoadStr(sOpenSpectra), loaded))
        showLoadedMemories(memoryKind(), loaded);
}

QString TfrmMain::loadMemories(const QString& path)
{
    std::vector<memories::LoadedMemory> loaded;
    memories::MemoryKind kind = memories::MemoryKind::Rta;
    if (QString error = readMemories(path, loaded, kind); !error.isEmpty())
        return error;
    showLoadedMemories(kind, loaded);
    return {};
}

QString TfrmMain::exportLastSpectrum(const QString& chosen)
{
    const memories::SpectrumRec& last = state_.memory.RTAMemRecord[0];
    if (!last.HasData || !hasLevels(last))
        return LoadStr(sNoRtaMeasurement);
    return memories::writeSpectrumExport(memories::exportFileName(chosen), last);
}

void TfrmMain::SaveSpectrum1Click()
{
    if (!memoryDialogs.file)
        return;
    const QString path =
        memoryDialogs.file("Save Spectrum as Text File", "Text Files (*.txt)", true);
    if (path.isEmpty())
        return;
    if (const QString error = exportLastSpectrum(path); !error.isEmpty())
        ShowMessage(this, error);
}

QString TfrmMain::exportCsv(const QString& path)
{
    const memories::SlotTable& table = state_.memory.RTAMemRecord;
    std::vector<memories::CsvCurve> curves;
    if (table[0].HasData && hasLevels(table[0]))
        curves.push_back({LoadStr(sLiveCurve), &table[0]});
    for (int k = 1; k <= 8; ++k) {
        const memories::SpectrumRec& rec = table[static_cast<std::size_t>(k)];
        if (rec.HasData && rec.DrawMe)
            curves.push_back(
                {rec.comment.isEmpty() ? LoadStr(sMemoryNumber).arg(k) : rec.comment, &rec});
    }
    if (curves.empty())
        return LoadStr(sNothingToExport);
    return memories::writeCsvExport(memories::csvFileName(path), csvLayout(*curves.front().rec),
                                    curves);
}

void TfrmMain::SaveCsv1Click()
{
    if (!memoryDialogs.file)
        return;
    const QString path =
        memoryDialogs.file(SaveCsv1->text().remove('&'), "CSV (*.csv);;All files (*)", true);
    if (path.isEmpty())
        return;
    if (const QString error = exportCsv(path); !error.isEmpty())
        ShowMessage(this, error);
}

memories::CsvLayout TfrmMain::csvLayout(const memories::SpectrumRec& first) const
{
    const int windows = static_cast<int>(std::size(memories::kWindowNames));
    const QString window = first.windowType >= 0 && first.windowType < windows
                               ? memories::kWindowNames[first.windowType]
                               : QString();
    const QString averaging = first.averaging >= 0 && first.averaging < cboAveraging->count()
                                  ? cboAveraging->itemText(first.averaging)
                                  : QString();
    const QDateTime when = first.stored.isValid() ? first.stored : QDateTime::currentDateTime();
    memories::CsvLayout layout;
    layout.header.push_back({LoadStr(sCsvSoftware), LoadStr(sProduct) + " " + LoadStr(sVersion)});
    // "Bezug: dB SPL (A); Bewertung: A; ...": one line per part, the
    // reference's text being the unit of the levels.
    std::vector<std::pair<QString, QString>> described;
    for (const QString& part : first.description.split("; ", Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(": ");
        if (colon > 0)
            described.push_back({part.left(colon), part.mid(colon + 2)});
    }
    if (described.empty()) {
        // Levels of no stated reference: relative to an amplitude of 1 of the transform.
        layout.header.push_back({LoadStr(sCsvUnit), "dB"});
        layout.header.push_back({LoadStr(sReference), LoadStr(sCsvReferenceValue)});
        layout.header.push_back({LoadStr(sWeighting), LoadStr(sCsvNoWeighting)});
    } else {
        const QString unit = described.front().first == LoadStr(sReference)
                                 ? described.front().second
                                 : QString("dB");
        layout.header.push_back({LoadStr(sCsvUnit), unit});
        layout.header.insert(layout.header.end(), described.begin(), described.end());
    }
    layout.header.insert(layout.header.end(),
                         {{LoadStr(sWindowing), window},
                          {LoadStr(sAveraging), averaging},
                          // A plan of n bands per octave has 10 n + 2 borders.
                          {LoadStr(sResolution), LoadStr(sCsvOctaves).arg((first.bands - 2) / 10)},
                          {LoadStr(sCsvDate), when.toString(Qt::ISODate)}});
    // A measurement with gaps must not pass for a whole one.
    if (first.droppedBlocks >= 0)
        layout.header.push_back({LoadStr(sCsvDroppedBlocks), QString::number(first.droppedBlocks)});
    layout.bandTitles = {LoadStr(sCsvCentre), LoadStr(sCsvLower), LoadStr(sCsvUpper)};
    layout.leftOutLabel = LoadStr(sCsvLeftOut);
    return layout;
}

bool TfrmMain::hasUnsavedMemories() const
{
    return hasUnsavedSlots(state_.memory.RTAMemRecord) ||
           hasUnsavedSlots(state_.memory.FFTMemRecord);
}

bool TfrmMain::mayClose()
{
    if (!hasUnsavedMemories() || !memoryDialogs.quit)
        return true;
    switch (memoryDialogs.quit()) {
    case QuitAnswer::Save:
        // Each page's memories into a file of their own kind.
        for (const memories::MemoryKind kind :
             {memories::MemoryKind::Rta, memories::MemoryKind::Fft})
            if (hasUnsavedSlots(memoryTable(kind)) && !saveAllStoredSpectra(kind))
                return false;
        return true;
    case QuitAnswer::Discard:
        return true;
    case QuitAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace app
