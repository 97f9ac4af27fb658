#include "rta_settings.h"

#include "settings/number_text.h"

#include <QLineEdit>

namespace app {
namespace {

double decimalOf(const QLineEdit* field)
{
    return settings::axisValue(field->text()).value_or(kNoNumber);
}

} // namespace

RtaSettings readRtaSettings(const settings::TfrmSettings& dialog,
                            const settings::ColourTable& colours)
{
    RtaSettings s;
    s.yAxisMin = decimalOf(dialog.txtYAxisMin);
    s.yAxisMax = decimalOf(dialog.txtYAxisMax);
    s.yAxisMinWhole = settings::textToInteger(dialog.txtYAxisMin->text());
    s.yAxisMaxWhole = settings::textToInteger(dialog.txtYAxisMax->text());
    s.yAxisStepWhole = settings::textToInteger(dialog.txtYAxisStep->text());
    s.xAxisMin = decimalOf(dialog.txtXAxisMin);
    s.xAxisMax = decimalOf(dialog.txtXAxisMax);
    s.colours = gridColoursOf(colours.GraphColors);
    return s;
}

} // namespace app
