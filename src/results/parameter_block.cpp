#include "results/parameter_block.h"

#include <array>
#include <span>
#include <string_view>

#include "common/result_text.h"

namespace velm {
namespace {

using Getter = double (*)(const ParameterSet&);
template <double ParameterSet::*Member>
double Get(const ParameterSet& p) {
  return p.*Member;
}
double SurfaceTankDepth(const ParameterSet& p) { return p.TankWaterDepth[0]; }

// A label and the value after it; a line holds up to two, and a line with
// none is empty. The labels are padded so that the "=" signs line up.
struct Field {
  std::string_view Label;
  Getter Value = nullptr;
};
using Line = std::array<Field, 2>;

using P = ParameterSet;
constexpr Line kEchoLines[] = {
    {{{" MAX_SoilMoisture  =", Get<&P::MAX_SoilMoisture>},
      {" MAX_EvapoRatio    =", Get<&P::MAX_EvapoRatio>}}},
    {{{" Coeff_Reduction   =", Get<&P::Coeff_Reduction>},
      {" F18_SoilMoisture  =", Get<&P::F18_SoilMoisture>}}},
    {{{" Final_Infiltration=", Get<&P::Final_Infiltration>},
      {" Coeff_EvapoModel  =", Get<&P::Coeff_EvapoModel>}}},
    {{{" F18_Infiltration  =", Get<&P::F18_Infiltration>},
      {" MAX_Infiltration  =", Get<&P::MAX_Infiltration>}}},
    {},
};
constexpr Line kResultLines[] = {
    {{{text::kParameterTitle}}},
    {{{" MAX_SoilMoisture  =", Get<&P::MAX_SoilMoisture>},
      {",   F18_SoilMoisture   =", Get<&P::F18_SoilMoisture>}}},
    {{{" MAX_Infiltration  =", Get<&P::MAX_Infiltration>},
      {",   F18_Infiltration   =", Get<&P::F18_Infiltration>}}},
    {{{" Coeff_Reduction   =", Get<&P::Coeff_Reduction>},
      {",   Final_Infiltration  =", Get<&P::Final_Infiltration>}}},
    {{{" MAX_EvapoRatio    =", Get<&P::MAX_EvapoRatio>},
      {",  Coeff_EvapoModel    =", Get<&P::Coeff_EvapoModel>}}},
    {},
    {{{" Impervious            =", Get<&P::Impervious>}}},
    {{{" CoeffSurfaceTopTank   =", Get<&P::CoeffSurfaceTopTank>},
      {",  CoeffSurfaceBotomTank =", Get<&P::CoeffSurfaceBotomTank>}}},
    {{{" HighSurfaceTopTank    =", Get<&P::HighSurfaceTopTank>},
      {",  HighSurfaceBotomTank  =", Get<&P::HighSurfaceBotomTank>}}},
};
constexpr Line kReportLines[] = {
    {{{" MAX_SoilMoisture  =", Get<&P::MAX_SoilMoisture>}}},
    {{{" MAX_EvapoRatio    =", Get<&P::MAX_EvapoRatio>}}},
    {{{" Coeff_Reduction   =", Get<&P::Coeff_Reduction>}}},
    {{{" F18_SoilMoisture  =", Get<&P::F18_SoilMoisture>}}},
    {{{" Final_Infiltration=", Get<&P::Final_Infiltration>}}},
    {{{" Coeff_EvapoModel  =", Get<&P::Coeff_EvapoModel>}}},
    {{{" F18_Infiltration  =", Get<&P::F18_Infiltration>}}},
    {{{" MAX_Infiltration  =", Get<&P::MAX_Infiltration>}}},
    {},
    {{{" Impervious            =", Get<&P::Impervious>}}},
    {{{" ImperviousTankWD      =", Get<&P::ImperviousTankWD>}}},
    {{{" CoeffSurfaceTopTank   =", Get<&P::CoeffSurfaceTopTank>}}},
    {{{" CoeffSurfaceBotomTank =", Get<&P::CoeffSurfaceBotomTank>}}},
    {{{" HighSurfaceTopTank    =", Get<&P::HighSurfaceTopTank>}}},
    {{{" HighSurfaceBotomTank  =", Get<&P::HighSurfaceBotomTank>}}},
    {{{" TankWaterDepth[0]     =", SurfaceTankDepth}}},
    {},
};

// A tank's line: its number, then CoeffTank, BotomTank and, if labelled, its
// depth.
struct TankLabels {
  std::string_view Coeff, Botom, Depth;
};

struct Layout {
  std::span<const Line> Lines;
  TankLabels Tanks;
  int EmptyLinesAfter;
};

Layout LayoutOf(ParameterLayout layout) {
  switch (layout) {
    case ParameterLayout::kEcho:
      return {kEchoLines, {" CoeffTank=", " BotomTank=", ""}, 0};
    case ParameterLayout::kResult:
      return {kResultLines, {" CoeffTank=", ", BotomTank=", ""}, 2};
    default:
      return {kReportLines,
              {" CoeffTank=", " BotomTank=", " TankWaterDepth="},
              0};
  }
}

}  // namespace

void WriteParameterBlock(TextWriter& out, const ParameterSet& p,
                         ParameterLayout which) {
  const Layout layout = LayoutOf(which);
  for (const Line& line : layout.Lines) {
    for (const Field& field : line) {
      out << field.Label;
      if (field.Value != nullptr) out << field.Value(p);
    }
    out << kEndLine;
  }
  for (int i = 1; i <= p.TankCount; ++i) {
    out << i << layout.Tanks.Coeff << p.CoeffTank[i] << layout.Tanks.Botom
        << p.BotomTank[i];
    if (!layout.Tanks.Depth.empty()) {
      out << layout.Tanks.Depth << p.TankWaterDepth[i];
    }
    out << kEndLine;
  }
  for (int k = 0; k < layout.EmptyLinesAfter; ++k) out << kEndLine;
}

}  // namespace velm
