// The memories of the octave-band and the FFT page: store mode, the popup of
// the slot buttons (store, colour, comment, save, open, clear) and "Alles
// löschen", each on the memories of the page shown.
// Store mode changes only what a left click on a slot does; every popup
// command acts on the slot under the mouse, in store mode or not, and every
// change of a slot redraws the graph at once.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "display/colour_map.h"
#include "memories/memory_file.h"

#include <QAction>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace app {
namespace {

// Tells the window which slot button the mouse entered and opens the popup
// on a right click, on disabled (empty) buttons too: a disabled button takes
// the right click and drops it, so it is caught before it gets there.
class SlotButtonFilter : public QObject {
public:
    SlotButtonFilter(QObject* parent, std::function<void(QToolButton*)> entered,
                     std::function<void(QToolButton*, QPoint)> contextMenu)
        : QObject(parent), entered_(std::move(entered)), contextMenu_(std::move(contextMenu))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A button being destroyed still sends events, as a plain widget by then.
        auto* button = qobject_cast<QToolButton*>(watched);
        if (!button)
            return false;
        if (event->type() == QEvent::Enter)
            entered_(button);
        if (event->type() == QEvent::ContextMenu) {
            contextMenu_(button, static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }

private:
    std::function<void(QToolButton*)> entered_;
    std::function<void(QToolButton*, QPoint)> contextMenu_;
};

int slotNumber(const QToolButton* button)
{
    return button->objectName().back().digitValue();
}

} // namespace

void TfrmMain::setCaptionColour(QToolButton* button, engine::TColor colour)
{
    QPalette p = button->palette();
    p.setColor(QPalette::ButtonText, display::toQColor(colour));
    button->setPalette(p);
}

void TfrmMain::createMemoryCommands()
{
    popMemoryButtons = new QMenu(this);
    StoreLastmeasurement1 = popMemoryButtons->addAction("&Store Last measurement");
    popMemoryButtons->addSeparator();
    ChangeColor1 = popMemoryButtons->addAction("Change &Color");
    ChangestoredComment1 = popMemoryButtons->addAction("Change stored Co&mment");
    SavetoDisk1 = popMemoryButtons->addAction("Save to &Disk");
    OpenfromDisk1 = popMemoryButtons->addAction("&Open from Disk");
    QAction* clearSeparator = popMemoryButtons->addSeparator();
    Clear1 = popMemoryButtons->addAction("C&lear");

    connect(StoreLastmeasurement1, &QAction::triggered, this,
            [this] { StoreLastmeasurement1Click(); });
    connect(ChangeColor1, &QAction::triggered, this, [this] { ChangeColor1Click(); });
    connect(ChangestoredComment1, &QAction::triggered, this,
            [this] { ChangestoredComment1Click(); });
    connect(SavetoDisk1, &QAction::triggered, this, [this] { SavetoDisk1Click(); });
    connect(OpenfromDisk1, &QAction::triggered, this, [this] { OpenfromDisk1Click(); });
    connect(Clear1, &QAction::triggered, this, [this] { Clear1Click(); });
    // An empty slot offers only what can fill or recolour it.
    connect(popMemoryButtons, &QMenu::aboutToShow, this, [this, clearSeparator] {
        const bool stored = CurrentButton && slotOf(CurrentButton).HasData;
        StoreLastmeasurement1->setEnabled(activeSlots()[0].HasData);
        for (QAction* a : {ChangestoredComment1, SavetoDisk1, clearSeparator, Clear1})
            a->setVisible(stored);
    });

    // The popup belongs to mem1 .. mem8, empty (disabled) ones included.
    auto* filter = new SlotButtonFilter(
        this, [this](QToolButton* b) { mem1MouseEnter(b); },
        [this](QToolButton* b, QPoint globalPos) {
            CurrentButton = b;
            popMemoryButtons->popup(globalPos);
        });
    for (int k = 1; k <= 8; ++k)
        mem[k]->installEventFilter(filter);

    connect(btnStore, &QToolButton::clicked, this, [this] { btnStoreClick(); });
    connect(Clearall1, &QAction::triggered, this, [this] { Clearall1Click(); });
    connect(Maths1, &QAction::triggered, this, [this] { Maths1Click(); });
    for (QAction* a : Memory1->actions())
        a->setVisible(true);
    createMemoryFileCommands();

    memoryDialogs.colour = [this](engine::TColor current) -> std::optional<engine::TColor> {
        const QColor chosen = QColorDialog::getColor(display::toQColor(current), this);
        if (!chosen.isValid())
            return std::nullopt;
        return display::fromQColor(chosen);
    };
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
    memoryDialogs.confirm = [this](const QString& question) {
        QMessageBox box(QMessageBox::Question, LoadStr(sProduct), question,
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(LoadStr(sAnswerYes));
        box.button(QMessageBox::No)->setText(LoadStr(sAnswerNo));
        return box.exec() == QMessageBox::Yes;
    };
    memoryDialogs.quit = [this] {
        QMessageBox box(QMessageBox::Question, LoadStr(sProduct), LoadStr(sUnsavedMemoriesQuestion),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setDefaultButton(QMessageBox::Save);
        box.button(QMessageBox::Save)->setText(LoadStr(sAnswerSave));
        box.button(QMessageBox::Discard)->setText(LoadStr(sAnswerDiscard));
        box.button(QMessageBox::Cancel)->setText(LoadStr(sAnswerCancel));
        switch (box.exec()) {
        case QMessageBox::Save:
            return QuitAnswer::Save;
        case QMessageBox::Discard:
            return QuitAnswer::Discard;
        default:
            return QuitAnswer::Cancel;
        }
    };
}

memories::MemoryKind TfrmMain::memoryKind() const
{
    return pgcAnalyzers->currentIndex() == 1 ? memories::MemoryKind::Fft
                                             : memories::MemoryKind::Rta;
}

memories::SlotTable& TfrmMain::memoryTable(memories::MemoryKind kind)
{
    return kind == memories::MemoryKind::Fft ? state_.memory.FFTMemRecord
                                             : state_.memory.RTAMemRecord;
}

memories::SpectrumRec& TfrmMain::slotOf(const QToolButton* button)
{
    return activeSlots()[static_cast<std::size_t>(slotNumber(button))];
}

void TfrmMain::enableStoredButtons()
{
    const memories::SlotTable& table = activeSlots();
    // In store mode any slot may take the last measurement, empty ones too.
    const bool storing = btnStore->isChecked();
    for (int k = 1; k <= 8; ++k)
        mem[k]->setEnabled(storing || table[k].HasData);
}

void TfrmMain::memoriesChanged()
{
    memories::SlotTable& table = activeSlots();
    for (int k = 0; k <= 8; ++k)
        table[k].DrawMe = mem[k]->isChecked();
    repaintActiveView();
}

void TfrmMain::storeLastMeasurement(int s)
{
    memories::SlotTable& table = activeSlots();
    // Right after START the FFT page has no spectrum yet until its first block.
    if (!table[0].HasData)
        return;
    memories::SpectrumRec& slot = table[static_cast<std::size_t>(s)];
    // A slot's colour is its own: the measurement comes in, the colour stays.
    const engine::TColor colour = slot.Color;
    if (s != 0)
        slot = table[0];
    slot.Color = colour;
    slot.HasData = true;
    slot.comment = txtComment->text();
    slot.stored = QDateTime::currentDateTime();
    slot.unsaved = s != 0;
    mem[static_cast<std::size_t>(s)]->setToolTip(slot.comment);
}

void TfrmMain::btnStoreClick()
{
    if (btnStore->isChecked() && mem0->isEnabled()) {
        enableStoredButtons();
        return;
    }
    btnStore->setChecked(false);
    enableStoredButtons();
}

void TfrmMain::mem1MouseEnter(QToolButton* Sender)
{
    CurrentButton = Sender;
}

void TfrmMain::mem1Click(QToolButton* Sender)
{
    if (btnStore->isChecked()) {
        storeLastMeasurement(slotNumber(Sender));
        // Stored, not shown.
        btnStore->setChecked(false);
        Sender->setChecked(false);
        mem0->setEnabled(activeSlots()[0].HasData);
        enableStoredButtons();
    }
    memoriesChanged();
}

void TfrmMain::StoreLastmeasurement1Click()
{
    if (!CurrentButton || !activeSlots()[0].HasData)
        return;
    // The slot keeps its shown state: a shown slot shows the new curve at once.
    storeLastMeasurement(slotNumber(CurrentButton));
    enableStoredButtons();
    memoriesChanged();
}

void TfrmMain::ChangeColor1Click()
{
    if (!CurrentButton || !memoryDialogs.colour)
        return;
    // The memory group is shown with the octave-band and the FFT page: their slots take it.
    memories::SpectrumRec& slot =
        memoryTable(memoryKind())[static_cast<std::size_t>(slotNumber(CurrentButton))];
    const std::optional<engine::TColor> colour = memoryDialogs.colour(slot.Color);
    if (!colour || *colour == slot.Color)
        return;
    slot.Color = *colour;
    slot.unsaved = slot.unsaved || slot.HasData;
    setCaptionColour(CurrentButton, *colour);
    memoriesChanged();
}

void TfrmMain::ChangestoredComment1Click()
{
    if (!CurrentButton || !slotOf(CurrentButton).HasData || !memoryDialogs.comment)
        return;
    memories::SpectrumRec& slot = slotOf(CurrentButton);
    const std::optional<QString> comment = memoryDialogs.comment(slot.comment);
    if (!comment || *comment == slot.comment)
        return;
    slot.comment = *comment;
    slot.unsaved = true;
    CurrentButton->setToolTip(*comment);
    memoriesChanged();
}

void TfrmMain::clearSlot(int k)
{
    memories::SpectrumRec& slot = memoryTable(memoryKind())[static_cast<std::size_t>(k)];
    slot.HasData = false;
    slot.comment.clear();
    slot.unsaved = false;
    mem[static_cast<std::size_t>(k)]->setToolTip({});
}

void TfrmMain::Clear1Click()
{
    if (!CurrentButton)
        return;
    clearSlot(slotNumber(CurrentButton));
    enableStoredButtons();
    memoriesChanged();
}

void TfrmMain::Clearall1Click()
{
    const memories::SlotTable& table = memoryTable(memoryKind());
    bool stored = false;
    for (int k = 1; k <= 8; ++k)
        stored = stored || table[static_cast<std::size_t>(k)].HasData;
    if (stored && memoryDialogs.confirm && !memoryDialogs.confirm(LoadStr(sClearAllQuestion)))
        return;
    for (int k = 1; k <= 8; ++k)
        clearSlot(k);
    if (grpMemory->isVisibleTo(this)) {
        enableStoredButtons();
        memoriesChanged();
    }
}

} // namespace app
