// velm-study's pieces that need no calibration: the calendar and its
// default split, the command line, the prepared record's files and the
// tables. Whole studies run in study_test.sh.

#include <gtest/gtest.h>

#include <cmath>

#include "results/efficiency.h"
#include "study/calendar.h"
#include "study/core_adapter.h"
#include "study/options.h"
#include "study/prepared_record.h"
#include "study/study_table.h"

namespace velm::study {
namespace {

Date D(const char* iso) { return *ParseIsoDate(iso); }

Calendar CalendarOf(Date first, int days, bool skipLeapDays = false) {
  Calendar c;
  for (Date d = first; static_cast<int>(c.Year.size()) < days; d += std::chrono::days(1)) {
    const std::chrono::year_month_day ymd(d);
    if (skipLeapDays && ymd.month() == std::chrono::February &&
        ymd.day() == std::chrono::day(29)) {
      continue;
    }
    c.Year.push_back(static_cast<int>(ymd.year()));
    c.Month.push_back(static_cast<int>(static_cast<unsigned>(ymd.month())));
    c.Day.push_back(static_cast<int>(static_cast<unsigned>(ymd.day())));
  }
  return c;
}

RecordCalendar RecordOf(const Calendar& c) {
  std::string problem;
  return *RecordCalendar::Of(c, problem);
}

TEST(StudyCalendar, ReadsIsoDatesAndRangesOnly) {
  EXPECT_EQ(IsoDate(D("2000-02-29")), "2000-02-29");
  for (const char* bad : {"2001-02-29", "2001-2-01", "01-02-2001", "2001-13-01",
                          "2001-01-01x", "+001-01-01", ""}) {
    EXPECT_FALSE(ParseIsoDate(bad)) << bad;
  }
  const auto range = ParseDateRange("2001-10-01:2002-09-30");
  ASSERT_TRUE(range);
  EXPECT_EQ(RangeText(*range), "2001-10-01:2002-09-30");
  EXPECT_FALSE(ParseDateRange("2001-10-01"));
  EXPECT_FALSE(ParseDateRange("2001-10-01:"));
  EXPECT_EQ(ParseYearStart("04-01")->Month, 4u);
  EXPECT_FALSE(ParseYearStart("02-29"));
  EXPECT_FALSE(ParseYearStart("4-01"));
}

TEST(StudyCalendar, NeedsConsecutiveDaysButALeapDayMayBeLeftOut) {
  std::string problem;
  const Calendar noLeap = CalendarOf(D("2000-02-27"), 5, true);
  const auto calendar = RecordCalendar::Of(noLeap, problem);
  ASSERT_TRUE(calendar) << problem;
  EXPECT_EQ(IsoDate(calendar->DateOf(2)), "2000-03-01");
  EXPECT_EQ(IsoDate(calendar->DateAfterEnd(6)), "2000-03-05");
  EXPECT_EQ(calendar->DaysOf({D("2000-02-28"), D("2000-03-02")})->First, 1);
  EXPECT_EQ(calendar->DaysOf({D("2000-02-28"), D("2000-03-02")})->Last, 3);
  EXPECT_FALSE(calendar->DaysOf({D("2000-02-26"), D("2000-03-01")}));
  EXPECT_FALSE(calendar->DaysOf({D("2000-02-28"), D("2000-03-04")}));

  Calendar gap = CalendarOf(D("2001-01-01"), 4);
  gap.Day[2] = 5;
  EXPECT_FALSE(RecordCalendar::Of(gap, problem));
  EXPECT_EQ(problem, "line 3 dates its day 2001,1,5 where 2001-01-03 was due");
  gap.Month[1] = 13;
  EXPECT_FALSE(RecordCalendar::Of(gap, problem));
  EXPECT_EQ(problem, "line 2 dates its day 2001,13,2, which is no date");
}

TEST(StudyCalendar, SplitsWholeHydrologicalYearsEarlierHalfFirst) {
  struct Row {
    const char* First;
    int Days;
    YearStart Start;
    int Years;
    const char* Calibration;
    const char* Validation;
  };
  const Row rows[] = {
      {"2000-01-01", 1096, {}, 2, "2000-10-01:2001-09-30", "2001-10-01:2002-09-30"},
      {"2000-10-01", 1826, {}, 5, "2000-10-01:2003-09-30", "2003-10-01:2005-09-30"},
      {"2000-01-01", 1096, {1, 1}, 3, "2000-01-01:2001-12-31", "2002-01-01:2002-12-31"},
      {"2000-01-01", 730, {}, 1, "", ""},
      {"2001-10-02", 730, {}, 1, "", ""},
  };
  for (const Row& row : rows) {
    int years = -1;
    const auto split = SplitHydrologicalYears(
        RecordOf(CalendarOf(D(row.First), row.Days)), row.Start, years);
    EXPECT_EQ(years, row.Years) << row.First << " " << row.Days;
    EXPECT_EQ(split ? RangeText(split->Calibration) : "", row.Calibration);
    EXPECT_EQ(split ? RangeText(split->Validation) : "", row.Validation);
  }
}

TEST(StudyOptions, ReadsTheCommandLineAndRefusesWhatCannotRun) {
  const auto parse = [](std::vector<std::string> args) { return ParseOptions(args); };
  const StudyOptions o = parse({"--calibration", "2001-01-01:2001-06-30",
                                "--validation", "2001-07-01:2001-12-31", "--warmup",
                                "0", "--objective", "lognse", "--starts", "3",
                                "--seed", "65533", "--search", "dds", "-j", "2",
                                "-o", "out", "--keep", "a", "--", "-b"});
  EXPECT_EQ(o.WarmupDays, 0);
  EXPECT_EQ(o.Objective, StudyObjective::kLogNse);
  EXPECT_EQ(o.Starts, 3);
  EXPECT_EQ(o.Search, SearchKind::kDds);
  EXPECT_EQ(o.Jobs, 2);
  EXPECT_TRUE(o.Keep);
  EXPECT_EQ(o.Directories, (std::vector<std::string>{"a", "-b"}));
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{}, "no catchment directory given"},
      {{"--calibration", "2001-01-01:2001-06-30", "a"}, "--calibration and --validation go together"},
      {{"--seed", "65535", "--starts", "2", "a"}, "up to 65535"},
      {{"--starts", "0", "a"}, "--starts needs a whole number from 1"},
      {{"--objective", "re", "a"}, "--objective is rmse, nse, kge or lognse"},
      {{"--search", "cmaes", "a"}, "--search is es or dds"},
      {{"--task", "0", "a"}, "need --run TOKEN"},
      {{"--task", "1", "--run", "7", "a"}, "--task needs an index from 0 to 0"},
      {{"--collect-only", "--run", "a b", "a"}, "no blanks"},
      {{"--validation", "2001-07-01", "a"}, "FROM:TO"},
      {{"--year-start", "02-29", "a"}, "--year-start needs MM-DD"},
      {{"-o"}, "-o needs a value"},
      {{"--bogus", "a"}, "unknown option --bogus"},
  };
  for (const auto& [args, message] : refused) {
    try {
      parse(args);
      ADD_FAILURE() << message;
    } catch (const UsageError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos)
          << error.what();
    }
  }
}

TEST(StudyObjective, ReplacesTheControlFilesMeasureAndNamesIt) {
  RunSettings control;
  control.ObjectiveType = 3;
  const std::vector<double> observed{0, 1, 2, 4}, calculated{9, 2, 2, 3};
  struct Row {
    StudyObjective Objective;
    int Type;
    std::optional<Efficiency> Loss;
    const char* Name;
  };
  const Row rows[] = {{StudyObjective::kControl, 3, std::nullopt, "re"},
                      {StudyObjective::kRmse, 1, std::nullopt, "rmse"},
                      {StudyObjective::kNse, 3, Efficiency::kNse, "nse"},
                      {StudyObjective::kKge, 3, Efficiency::kKge, "kge"},
                      {StudyObjective::kLogNse, 3, Efficiency::kLogNse, "lognse"}};
  for (const Row& row : rows) {
    const ObjectiveSettings s = StudyObjectiveSettings(control, row.Objective);
    EXPECT_EQ(s.ObjectiveType, row.Type) << row.Name;
    EXPECT_EQ(static_cast<bool>(s.Measure), row.Loss.has_value()) << row.Name;
    if (row.Loss) {
      EXPECT_EQ(s.Measure(observed, calculated),
                EfficiencyLoss(*row.Loss, observed, calculated)) << row.Name;
    }
    EXPECT_EQ(ObjectiveName(row.Objective, control), row.Name);
  }
  for (const auto& [type, name] : {std::pair{1, "rmse"}, {2, "rr"}, {0, "balance"}}) {
    control.ObjectiveType = type;
    EXPECT_EQ(ObjectiveName(StudyObjective::kControl, control), name);
  }
}

TEST(PreparedRecord, TheCatchmentsRecordFromTheWarmUpObservedOnlyInThePeriod) {
  // Ten days whose lines name their day and hour; observed runoff ends in
  // day 7's first hour.
  std::string rain, evaporation, observed;
  for (int d = 0; d < 10; ++d) {
    evaporation += "2001,1," + std::to_string(d + 1) + ",e" + std::to_string(d) + "\n";
    for (int h = 0; h < 24; ++h) {
      const std::string hour = std::to_string(d) + "." + std::to_string(h);
      rain += "r" + hour + "\n";
      if (d < 7 || (d == 7 && h == 0)) observed += "q" + hour + "\n";
    }
  }
  const Calendar dates = CalendarOf(D("2001-01-01"), 10);
  const RecordCalendar calendar = RecordOf(dates);
  const TextLines r = TextLines::FromText(rain, LastLine::kDropped);
  const TextLines e = TextLines::FromText(evaporation, LastLine::kDropped);
  const TextLines q = TextLines::FromText(observed, LastLine::kDropped);
  const std::string control = "c1\r\nc2\r\nc3\r\nc4\r\n1\r\nc6\r\n";
  const SourceFiles source{r, e, q, control, "p", calendar};
  const PeriodLayout layout = LayoutFor({5, 7}, 3, 10);
  EXPECT_EQ(layout.FirstDay(), 2);
  EXPECT_EQ(LayoutFor({5, 7}, 365, 10).WarmupDays, 5);

  const PreparedFiles files =
      PrepareFiles(source, layout, PeriodKind::kValidation, "heading");
  const TextLines pr = TextLines::FromText(files.Rain, LastLine::kDropped);
  const TextLines pe = TextLines::FromText(files.Evaporation, LastLine::kDropped);
  const TextLines pq = TextLines::FromText(files.Observed, LastLine::kDropped);
  ASSERT_EQ(pr.Count(), 240u);
  EXPECT_EQ(pr[0], "r2.0");
  EXPECT_EQ(pr[191], "r9.23");
  EXPECT_EQ(pr[192], "2001,1,11,1,0");
  EXPECT_EQ(pr[239], "2001,1,12,24,0");
  ASSERT_EQ(pe.Count(), 10u);
  EXPECT_EQ(pe[0], "2001,1,3,e2");
  EXPECT_EQ(pe[9], "2001,1,12,0");
  ASSERT_EQ(pq.Count(), 6u * 24);
  EXPECT_EQ(pq[0], "2001,1,3,1,0");
  EXPECT_EQ(pq[71], "2001,1,5,24,0");
  EXPECT_EQ(pq[72], "q5.0");
  EXPECT_EQ(pq[120], "q7.0");
  EXPECT_EQ(pq[121], "2001,1,8,2,0");
  EXPECT_EQ(files.Control, "c1\r\nc2\r\nc3\r\nc4\r\n0\r\nc6\r\n1\n\n1\n");
  EXPECT_EQ(files.Parameters, "p");
  EXPECT_TRUE(files.FileInfo.starts_with("heading\nInputFilename_Control,control.dat\n"));
  EXPECT_EQ(PrepareFiles(source, layout, PeriodKind::kCalibration, "").Control,
            control);
}

TEST(StudyTable, RoundTripsQuotedFieldsAndJoinsParameterColumns) {
  Table a{{"catchment", "reason", "X"}, {{"a", "said \"no\", twice", "1"}}};
  const Table read = ParseTable(TableText(a));
  EXPECT_EQ(read.Header, a.Header);
  EXPECT_EQ(read.Rows, a.Rows);
  EXPECT_EQ(TableText(a), "catchment,reason,X\na,\"said \"\"no\"\", twice\",1\n");
  const Table b{{"catchment", "Y", "X"}, {{"b", "2", "3"}}};
  const Table all = Concatenated({a, b});
  EXPECT_EQ(all.Header.size(), FixedColumns().size() + 2);
  EXPECT_EQ(all.Header.back(), "Y");
  EXPECT_EQ(all.Rows[1][*all.Column("X")], "3");
  EXPECT_EQ(all.Rows[0][*all.Column("Y")], "");
  // A run that failed wrote fewer fields than its header names: the rest
  // stay blank, and fields beyond the header are dropped.
  const Table ragged{{"catchment", "reason", "X"}, {{"c"}, {"d", "r", "4", "extra"}}};
  const Table joined = Concatenated({ragged});
  std::vector<std::string> shortRow(joined.Header.size());
  shortRow[*joined.Column("catchment")] = "c";
  EXPECT_EQ(joined.Rows[0], shortRow);
  EXPECT_EQ(joined.Rows[1][*joined.Column("X")], "4");
  EXPECT_EQ(joined.Rows[1].size(), joined.Header.size());
  EXPECT_EQ(CsvNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(CsvNumber(1.0 / 3), "0.3333333333");
  EXPECT_EQ(CsvNumber(-1.0 / 0.0), "-inf");
  EXPECT_TRUE(std::isnan(NumberIn("")));
  EXPECT_TRUE(std::isnan(NumberIn("nan")));
  EXPECT_EQ(NumberIn("2.5e-3"), 0.0025);
}

}  // namespace
}  // namespace velm::study
