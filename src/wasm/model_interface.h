#pragma once

// The model for a page: velm's simulation, fit and scores behind a C
// interface of plain pointers and sizes, which the WebAssembly module exports
// and a page's script calls. It is a thin shell over the core: one session
// holds a catchment's hourly forcing and daily observed runoff, a parameter
// set as a parameter file gives it, and the last simulation's daily totals,
// fit and scores.
//
// The caller fills the arrays the session hands out (rain, potential
// evaporation, observed runoff), sets the parameters and simulates; the
// results stay valid until the next call that changes the session. Texts are
// NUL-terminated UTF-8 in the session's memory, valid until the next call.

extern "C" {

struct VelmSession;

// A session for a record of `hours` hours (its days are the whole days,
// hours / 24), every value 0 and no tank; null when `hours` is negative.
VelmSession* velm_create(int hours);
void velm_destroy(VelmSession* session);

int velm_hours(const VelmSession* session);
int velm_days(const VelmSession* session);
// The arrays to fill: hourly rain and potential evaporation (mm in the
// hour), and the daily totals of observed runoff (mm in the day) as velm
// reads them from the observed-runoff file.
double* velm_rain(VelmSession* session);
double* velm_potential_evaporation(VelmSession* session);
double* velm_observed(VelmSession* session);

// The control file's settings a simulation uses: the surface storage flag,
// the observed flag (0: no fit), ObjectiveType and BalanceErrorLimit.
void velm_set_run(VelmSession* session, int surfaceStorage, int withObserved,
                  int objectiveType, double balanceErrorLimit);

// The parameters by index: the parameter file's eleven values in the order
// of its lines (F18_SoilMoisture as a depth, as velm keeps it), then the two
// derived values, F18_Infiltration and MAX_Infiltration, which can only be
// read. Every change derives them again, as reading a parameter file does.
int velm_parameter_count();
int velm_file_parameter_count();
const char* velm_parameter_name(int index);
double velm_parameter(const VelmSession* session, int index);
// Returns the derivation problem (below), or -1 for an index that cannot be
// set.
int velm_set_parameter(VelmSession* session, int index, double value);

// The tanks, numbered from 1. A count outside 0..1000 is refused with -1;
// tanks added hold 0.
int velm_tank_count(const VelmSession* session);
int velm_set_tank_count(VelmSession* session, int count);
double velm_coeff_tank(const VelmSession* session, int tank);
double velm_botom_tank(const VelmSession* session, int tank);
int velm_set_tank(VelmSession* session, int tank, double coeffTank,
                  double botomTank);

// 0: the derived values are computed; 1: no MAX_Infiltration fits the soil
// values; 2: Impervious is 1 with tanks. A set with a problem is not
// simulated.
int velm_derivation_problem(const VelmSession* session);

// The first ordering rule the set breaks, as velm words it
// ("CoeffSurfaceBotomTank 0.0064 < CoeffTank[1] 0.0071"), or "" when it
// keeps them all; a calibration adds a penalty to f for a broken rule.
const char* velm_broken_rule(VelmSession* session);

// The parameter file (CR LF line ends) that velm reads back to the
// session's set, or "" when none gives it (a set velm would refuse, or an
// F18_SoilMoisture that is no fraction a file can hold); then
// velm_parameter_file_refusal says why, in English.
const char* velm_parameter_file(VelmSession* session);
const char* velm_parameter_file_refusal(const VelmSession* session);

// Both passes over the record; returns velm_derivation_problem (0: done).
int velm_simulate(VelmSession* session);

// The last simulation's daily totals, velm_days values each: calculated
// runoff and actual evaporation, and rain and potential evaporation summed
// as velm sums them.
const double* velm_daily_runoff(const VelmSession* session);
const double* velm_daily_actual_evaporation(const VelmSession* session);
const double* velm_daily_rain(const VelmSession* session);
const double* velm_daily_potential_evaporation(const VelmSession* session);

// velm's own fit, as a simulation prints it: fit days, RMSE, RR, RE, the
// water balance's ratio, sums of rain, observed and calculated runoff and
// actual evaporation over the fit days, and f, the measure ObjectiveType
// selects plus the ordering rules' penalty, as a calibration scores the set.
enum { kVelmFitValues = 10 };
const double* velm_fit(const VelmSession* session);

// The scores velm-report prints for the result file of this simulation
// (computed from the daily totals as the file prints them): fit days, NSE,
// KGE, r, alpha, beta, KGE', gamma, PBIAS %, RMSE, peak error %; NaN where
// a score is undefined. velm_score_text gives a score as velm-report prints
// it.
enum { kVelmScoreValues = 11 };
const double* velm_scores(const VelmSession* session);
const char* velm_score_text(VelmSession* session, int index);

}  // extern "C"
