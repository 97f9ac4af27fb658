// The memories of the octave-band page: store mode, the popup of the slot
// buttons (colour, comment, files, clear), "Alles löschen", and the File
// menu's spectrum files and export.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "display/colour_map.h"
#include "memories/memory_file.h"
#include "memories/spectrum_export.h"

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <cmath>
#include <vector>

namespace app {
namespace {

const QString kSpectraFilter = "Spectra (*.txt);;All files (*)";

// Tells the window which slot button the mouse entered, disabled ones too.
class MouseEnterFilter : public QObject {
public:
    MouseEnterFilter(QObject* parent, std::function<void(QToolButton*)> entered)
        : QObject(parent), entered_(std::move(entered))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Enter)
            entered_(static_cast<QToolButton*>(watched));
        return false;
    }

private:
    std::function<void(QToolButton*)> entered_;
};

void setCaptionColour(QToolButton* button, engine::TColor colour)
{
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, display::toQColor(colour));
    button->setPalette(p);
}

bool hasLevels(const memories::SpectrumRec& rec)
{
    for (int j = 1; j < rec.bands; ++j)
        if (!std::isnan(rec.levels[j]))
            return true;
    return false;
}

} // namespace

void TfrmMain::createMemoryCommands()
{
    popMemoryButtons = new QMenu(this);
    StoreLastmeasurement1 = popMemoryButtons->addAction("&Store Last measurement");
    popMemoryButtons->addSeparator();
    ChangeColor1 = popMemoryButtons->addAction("Change &Color");
    ChangestoredComment1 = popMemoryButtons->addAction("Change stored Co&mment");
    SavetoDisk1 = popMemoryButtons->addAction("Save to &Disk");
    OpenfromDisk1 = popMemoryButtons->addAction("&Open from Disk");
    popMemoryButtons->addSeparator();
    Clear1 = popMemoryButtons->addAction("C&lear");

    connect(StoreLastmeasurement1, &QAction::triggered, this,
            [this] { StoreLastmeasurement1Click(); });
    connect(ChangeColor1, &QAction::triggered, this, [this] { ChangeColor1Click(); });
    connect(ChangestoredComment1, &QAction::triggered, this,
            [this] { ChangestoredComment1Click(); });
    connect(SavetoDisk1, &QAction::triggered, this, [this] { SavetoDisk1Click(); });
    connect(OpenfromDisk1, &QAction::triggered, this, [this] { OpenfromDisk1Click(); });
    connect(Clear1, &QAction::triggered, this, [this] { Clear1Click(); });
    // What needs data is offered only where there is data.
    connect(popMemoryButtons, &QMenu::aboutToShow, this, [this] {
        const bool stored = CurrentButton && slotOf(CurrentButton).HasData;
        StoreLastmeasurement1->setEnabled(state_.memory.RTAMemRecord[0].HasData);
        for (QAction* a : {ChangestoredComment1, SavetoDisk1, Clear1})
            a->setEnabled(stored);
    });

    // The popup belongs to mem1 .. mem8; a disabled button passes its right
    // click to the group, which finds the button under the mouse.
    auto* filter = new MouseEnterFilter(this, [this](QToolButton* b) { mem1MouseEnter(b); });
    for (int k = 1; k <= 8; ++k)
        mem[k]->installEventFilter(filter);
    grpMemory->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grpMemory, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        for (int k = 1; k <= 8; ++k) {
            if (mem[k]->geometry().contains(pos)) {
                CurrentButton = mem[k];
                popMemoryButtons->popup(grpMemory->mapToGlobal(pos));
            }
        }
    });

    connect(btnStore, &QToolButton::clicked, this, [this] { btnStoreClick(); });
    connect(Clearall1, &QAction::triggered, this, [this] { Clearall1Click(); });
    connect(Openspectratomemory1, &QAction::triggered, this,
            [this] { Openspectratomemory1Click(); });
    connect(Saveallstoredspectra1, &QAction::triggered, this,
            [this] { Saveallstoredspectra1Click(); });
    connect(SaveSpectrum1, &QAction::triggered, this, [this] { SaveSpectrum1Click(); });
    for (QAction* a : File1->actions())
        a->setVisible(true);

    memoryDialogs.colour = settings::desktopColourChooser(this);
    memoryDialogs.file = [this](const QString& title, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(this, title, {}, filter)
                    : QFileDialog::getOpenFileName(this, title, {}, filter);
    };
    memoryDialogs.comment = [this](const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(this, LoadStr(sComment), LoadStr(sComment),
                                                   QLineEdit::Normal, current, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
}

memories::SpectrumRec& TfrmMain::slotOf(const QToolButton* button)
{
    return activeSlots()[static_cast<std::size_t>(button->objectName().back().digitValue())];
}

void TfrmMain::enableStoredButtons()
{
    const memories::SlotTable& table = activeSlots();
    for (int k = 1; k <= 8; ++k)
        mem[k]->setEnabled(table[k].HasData);
}

void TfrmMain::btnStoreClick()
{
    if (btnStore->isChecked() && mem0->isEnabled()) {
        // Store mode: any slot may take the last measurement, empty ones too.
        for (int k = 1; k <= 8; ++k)
            mem[k]->setEnabled(true);
        return;
    }
    enableStoredButtons();
    btnStore->setChecked(false);
}

void TfrmMain::mem1MouseEnter(QToolButton* Sender)
{
    CurrentButton = Sender;
}

void TfrmMain::ChangeColor1Click()
{
    if (!CurrentButton || !memoryDialogs.colour)
        return;
    const std::optional<engine::TColor> colour = memoryDialogs.colour();
    if (!colour)
        return;
    // Only the octave-band page shows the memory group, so its slots take the colour.
    const int s = CurrentButton->objectName().back().digitValue();
    state_.memory.RTAMemRecord[static_cast<std::size_t>(s)].Color = *colour;
    setCaptionColour(CurrentButton, *colour);
}

void TfrmMain::Clearall1Click()
{
    for (int k = 1; k <= 8; ++k) {
        mem[k]->setEnabled(false);
        mem[k]->setToolTip({});
        memories::SpectrumRec& slot = state_.memory.RTAMemRecord[static_cast<std::size_t>(k)];
        slot.HasData = false;
        slot.comment.clear();
    }
}

void TfrmMain::StoreLastmeasurement1Click()
{
    if (!CurrentButton || !state_.memory.RTAMemRecord[0].HasData)
        return;
    // Exactly what store mode and a click on the button do.
    btnStore->setChecked(true);
    mem1Click(CurrentButton);
}

void TfrmMain::ChangestoredComment1Click()
{
    if (!CurrentButton || !slotOf(CurrentButton).HasData || !memoryDialogs.comment)
        return;
    memories::SpectrumRec& slot = slotOf(CurrentButton);
    const std::optional<QString> comment = memoryDialogs.comment(slot.comment);
    if (!comment)
        return;
    slot.comment = *comment;
    CurrentButton->setToolTip(*comment);
}

void TfrmMain::SavetoDisk1Click()
{
    if (!CurrentButton || !slotOf(CurrentButton).HasData || !memoryDialogs.file)
        return;
    const QString path = memoryDialogs.file("Save to Disk", kSpectraFilter, true);
    if (path.isEmpty())
        return;
    const int s[] = {CurrentButton->objectName().back().digitValue()};
    if (const QString error = memories::writeMemoryFile(path, state_.memory.RTAMemRecord, s);
        !error.isEmpty())
        ShowMessage(this, error);
}

bool TfrmMain::openSpectra(const QString& title, std::vector<memories::LoadedMemory>& loaded)
{
    if (!memoryDialogs.file)
        return false;
    const QString path = memoryDialogs.file(title, kSpectraFilter, false);
    if (path.isEmpty())
        return false;
    if (const QString error = memories::readMemoryFile(path, loaded); !error.isEmpty()) {
        ShowMessage(this, error);
        return false;
    }
    return true;
}

void TfrmMain::showStoredSlot(int slot)
{
    const memories::SpectrumRec& rec = activeSlots()[static_cast<std::size_t>(slot)];
    QToolButton* b = mem[static_cast<std::size_t>(slot)];
    b->setEnabled(rec.HasData);
    b->setChecked(false);
    b->setToolTip(rec.comment);
    setCaptionColour(b, rec.Color);
}

void TfrmMain::OpenfromDisk1Click()
{
    std::vector<memories::LoadedMemory> loaded;
    if (!CurrentButton || !openSpectra("Open from Disk", loaded))
        return;
    // The slot under the mouse takes the first memory of the file.
    const int s = CurrentButton->objectName().back().digitValue();
    state_.memory.RTAMemRecord[static_cast<std::size_t>(s)] = *loaded.front().rec;
    showStoredSlot(s);
    mem1Click(CurrentButton);
}

void TfrmMain::Clear1Click()
{
    if (!CurrentButton)
        return;
    memories::SpectrumRec& slot = slotOf(CurrentButton);
    slot.HasData = false;
    slot.comment.clear();
    showStoredSlot(CurrentButton->objectName().back().digitValue());
    mem1Click(CurrentButton);
}

void TfrmMain::Openspectratomemory1Click()
{
    std::vector<memories::LoadedMemory> loaded;
    if (!openSpectra(LoadStr(sOpenSpectra), loaded))
        return;
    // Each memory goes back to its own slot; the last measurement stays live.
    for (const memories::LoadedMemory& m : loaded) {
        if (m.memory < 1)
            continue;
        state_.memory.RTAMemRecord[static_cast<std::size_t>(m.memory)] = *m.rec;
        if (pgcAnalyzers->currentIndex() == 0)
            showStoredSlot(m.memory);
    }
    if (pgcAnalyzers->currentIndex() == 0)
        mem1Click(mem0);
}

void TfrmMain::Saveallstoredspectra1Click()
{
    std::vector<int> stored;
    for (int k = 1; k <= 8; ++k)
        if (state_.memory.RTAMemRecord[static_cast<std::size_t>(k)].HasData)
            stored.push_back(k);
    if (stored.empty()) {
        ShowMessage(this, LoadStr(sNoStoredSpectra));
        return;
    }
    if (!memoryDialogs.file)
        return;
    const QString path =
        memoryDialogs.file(Saveallstoredspectra1->text().remove('&'), kSpectraFilter, true);
    if (path.isEmpty())
        return;
    if (const QString error = memories::writeMemoryFile(path, state_.memory.RTAMemRecord, stored);
        !error.isEmpty())
        ShowMessage(this, error);
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

} // namespace app
