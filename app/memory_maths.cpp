// The Memory menu's "Maths Operations": power sum, difference and average of
// stored RTA slots into a target slot, which then says what it holds.

#include "frm_main.h"

#include "frm_maths.h"
#include "string_table.h"

#include "engine/power_maths.h"
#include "engine/rta_curve.h"

#include <QAction>
#include <QDateTime>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace app {
namespace {

bool samePlan(const memories::SpectrumRec& a, const memories::SpectrumRec& b)
{
    return a.bands == b.bands && std::equal(a.f.begin(), a.f.begin() + a.bands, b.f.begin());
}

// "1 (Wohnzimmer)": a slot by number and, where it has one, its comment.
QString slotName(const memories::SlotTable& table, int k)
{
    const QString& comment = table[static_cast<std::size_t>(k)].comment;
    return comment.isEmpty() ? QString::number(k) : QString("%1 (%2)").arg(k).arg(comment);
}

// What the target holds, in words.
QString resultComment(const memories::SlotTable& table, int operation,
                      const std::vector<int>& sources)
{
    QStringList names;
    for (const int k : sources)
        names << slotName(table, k);
    switch (operation) {
    case 1:
        return LoadStr(sMathsDifferenceComment).arg(names.join(QString::fromUtf8(" − ")));
    case 2:
        return LoadStr(sMathsAverageComment).arg(names.join(", "));
    default:
        return LoadStr(sMathsSumComment).arg(names.join(" + "));
    }
}

} // namespace

void TfrmMain::Maths1Click()
{
    std::array<bool, 9> hasData{};
    for (int k = 1; k <= 8; ++k)
        hasData[static_cast<std::size_t>(k)] =
            state_.memory.RTAMemRecord[static_cast<std::size_t>(k)].HasData;
    TfrmMaths dialog(this, hasData,
                     [this](int operation, const std::vector<int>& sources, int target) {
                         return executeMaths(operation, sources, target);
                     });
    dialog.exec();
}

QString TfrmMain::executeMaths(int operation, const std::vector<int>& sources, int target)
{
    memories::SlotTable& table = state_.memory.RTAMemRecord;
    if (operation < 0 || operation > 2 || target < 1 || target > 8)
        return LoadStr(sMathsNoSource);
    for (const int k : sources)
        if (k < 1 || k > 8 || !table[static_cast<std::size_t>(k)].HasData)
            return LoadStr(sMathsNoSource);
    if (sources.empty())
        return LoadStr(sMathsNoSource);
    if (operation == 1 && sources.size() < 2)
        return LoadStr(sMathsDifferenceNeedsTwo);
    const memories::SpectrumRec& first = table[static_cast<std::size_t>(sources.front())];
    for (const int k : sources)
        if (!samePlan(first, table[static_cast<std::size_t>(k)]))
            return LoadStr(sMathsOtherPlans);
    // Powers of one reference only: the others are taken into the first's.
    std::vector<const engine::BinArray*> levels;
    std::vector<std::unique_ptr<engine::BinArray>> converted;
    for (const int k : sources) {
        const memories::SpectrumRec& source = table[static_cast<std::size_t>(k)];
        const std::optional<double> shift = engine::levelShift(source.basis, first.basis);
        if (!shift)
            return LoadStr(sMathsOtherReferences);
        if (*shift == 0) {
            levels.push_back(&source.levels);
            continue;
        }
        auto& copy = converted.emplace_back(std::make_unique<engine::BinArray>(source.levels));
        for (double& level : *copy)
            level += *shift;
        levels.push_back(copy.get());
    }

    memories::SpectrumRec& out = table[static_cast<std::size_t>(target)];
    const bool targetIsSource = std::find(sources.begin(), sources.end(), target) != sources.end();
    if (out.HasData && !targetIsSource && memoryDialogs.confirm &&
        !memoryDialogs.confirm(LoadStr(sMathsOverwrite).arg(target)))
        return {};

    // Computed aside first: the target may be one of the sources.
    auto result = std::make_unique<engine::BinArray>();
    engine::combineLevels(static_cast<engine::PowerOperation>(operation), levels, first.bands,
                          *result);
    const QString comment = resultComment(table, operation, sources);
    bool sameWindow = true;
    bool sameAveraging = true;
    for (const int k : sources) {
        sameWindow =
            sameWindow && table[static_cast<std::size_t>(k)].windowType == first.windowType;
        sameAveraging =
            sameAveraging && table[static_cast<std::size_t>(k)].averaging == first.averaging;
    }
    const int windowType = sameWindow ? first.windowType : -1;
    const int averaging = sameAveraging ? first.averaging : -1;
    if (&out != &first) {
        out.f = first.f;
        out.bands = first.bands;
        out.description = first.description;
        out.basis = first.basis;
    }
    out.levels = *result;
    out.windowType = windowType;
    out.averaging = averaging;
    out.comment = comment;
    out.stored = QDateTime::currentDateTime();
    out.HasData = true;
    out.unsaved = true;
    // Rows and points as the curve is drawn now, for files that keep them.
    storeDrawnPoints(out);

    if (pgcAnalyzers->currentIndex() == 0) {
        QToolButton* b = mem[static_cast<std::size_t>(target)];
        b->setToolTip(out.comment);
        b->setChecked(true);
        enableStoredButtons();
        memoriesChanged();
    } else {
        out.DrawMe = true;
    }
    return {};
}

} // namespace app
