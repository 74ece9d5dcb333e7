#include "optimizer/parameter_reports.h"

#include "common/result_text.h"
#include "results/parameter_block.h"

namespace velm {

void WriteInitialParameters(TextWriter& file, const ParameterSet& parameters) {
  file << text::kInitialParameterHeading << kEndLine;
  WriteParameterBlock(file, parameters, ParameterLayout::kReport);
}

void WriteOptimizedParameters(TextWriter& file, const ParameterSet& scaled) {
  file << text::kOptimizedParameterHeading << kEndLine;
  WriteParameterBlock(file, scaled, ParameterLayout::kReport);
  file << text::kAsteriskLine << kEndLine;
}

}  // namespace velm
