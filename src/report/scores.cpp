#include "report/scores.h"

#include "common/number_format.h"

namespace velm::report {

std::string FormatScore(std::optional<double> score) {
  return score ? FormatNumber(*score) : "undefined";
}

}  // namespace velm::report
