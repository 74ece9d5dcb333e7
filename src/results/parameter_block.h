#pragma once

// The parameters as velm prints them, in its three layouts.

#include "common/text_writer.h"
#include "model/parameter_set.h"

namespace velm {

enum class ParameterLayout {
  // The console echo of a parameter file: two values a line, then a line
  // per tank.
  kEcho,
  // The result file's block: a heading, two values a line, the tanks, two
  // empty lines.
  kResult,
  // A calibration's initial and optimized reports: one value a line, the
  // impervious store and surface tank depths too, and each tank's depth.
  kReport,
};

void WriteParameterBlock(TextWriter& out, const ParameterSet& parameters,
                         ParameterLayout layout);

}  // namespace velm
