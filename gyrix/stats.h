// The solve log: statistics, the log and games in progress in SQLite, and the exchange with
// other timers.
#pragma once

#include <gyrix/stats/chart.h>
#include <gyrix/stats/exchange.h>
#include <gyrix/stats/json.h>
#include <gyrix/stats/location.h>
#include <gyrix/stats/recorder.h>
#include <gyrix/stats/replay.h>
#include <gyrix/stats/solvelog.h>
#include <gyrix/stats/statistics.h>
