// The run's threads: the work pool, the shared day rows that keep a run
// small, and a run whose results must not depend on its number of threads.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/work_threads.h"

namespace zelba {
namespace {

TEST(WorkThreads, EveryItemOnceResultsInOrderAndFailuresReachTheCaller) {
  WorkThreads threads(3);
  std::vector<std::atomic<int>> seen(1000);
  threads.forEach(1000, [&](int k) { ++seen[static_cast<size_t>(k)]; });
  int once = 0;
  for (const auto& count : seen) once += count == 1 ? 1 : 0;
  EXPECT_EQ(once, 1000);

  // Items of 0..199 squared in 4 result slots, consumed strictly in order.
  std::vector<long> slots(4);
  std::vector<long> consumed;
  threads.ordered(
      200, 4, [&](int k, int slot) { slots[static_cast<size_t>(slot)] = long{k} * k; },
      [&](int, int slot) { consumed.push_back(slots[static_cast<size_t>(slot)]); });
  ASSERT_EQ(consumed.size(), 200u);
  bool squares = true;
  for (long k = 0; k < 200; ++k) squares = squares && consumed[static_cast<size_t>(k)] == k * k;
  EXPECT_TRUE(squares);

  // A failing item stops the work; the pool serves the next call.
  EXPECT_THROW(threads.forEach(100,
                               [](int k) {
                                 if (k == 17) throw std::runtime_error("item 17");
                               }),
               std::runtime_error);
  EXPECT_THROW(threads.ordered(
                   50, 3,
                   [](int k, int) {
                     if (k == 20) throw std::runtime_error("item 20");
                   },
                   [](int, int) {}),
               std::runtime_error);
  std::atomic<int> after{0};
  threads.forEach(10, [&](int) { ++after; });
  EXPECT_EQ(after.load(), 10);

  WorkThreads single(1);  // everything on the caller, in order
  std::vector<int> order;
  single.forEach(5, [&](int k) { order.push_back(k); });
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(DayRows, DaysShareARowUntilOneIsWritten) {
  TestDays days;
  days[0].values[kTestOil] = 100;
  BaTestDay& opening = days[0];
  days.share(5, 0);
  days.share(6, 0);
  const TestDays& read = days;
  EXPECT_EQ(read[5].values[kTestOil], 100);
  days[6].values[kTestOil] = 60;  // day 6 gets a row of its own
  EXPECT_EQ(read[0].values[kTestOil], 100);
  EXPECT_EQ(read[5].values[kTestOil], 100);
  EXPECT_EQ(read[6].values[kTestOil], 60);
  EXPECT_EQ(&opening, &read[0]);           // references stay valid
  EXPECT_EQ(read[9].values[kTestOil], 0);  // never written

  // A month of a well tested before the period and again on day 20: the days
  // without a test share a carried copy, so the block holds four rows (the
  // two tests and their copies) where 32 full days took 3.5 KB.
  RunState rs;
  resetRunState(rs);
  rs.control.firstDay = 1;
  rs.control.endDay = 32;
  rs.nodeTable.push_back(std::make_unique<BaNode>());
  BaNode& well = *rs.nodeTable[0];
  well.testDays = std::make_unique<TestDays>();
  for (float& value : (*well.testDays)[0].values) value = static_cast<float>(MISSING_VALUE);
  (*well.testDays)[0].values[kTestOil] = 250;
  (*well.testDays)[0].valid = 1;
  (*well.testDays)[20].values = (*well.testDays)[0].values;
  (*well.testDays)[20].values[kTestOil] = 200;  // a re-test on day 20
  (*well.testDays)[20].valid = 1;
  completeWellTests(rs);
  const TestDays& month = *well.testDays;
  EXPECT_EQ(month[1].values[kTestOil], 250);
  EXPECT_EQ(month[19].values[kTestOil], 250);
  EXPECT_EQ(month[31].values[kTestOil], 200);
  EXPECT_EQ(month[31].values[kTestGor], 0);  // missing in both tests: 0
  EXPECT_EQ(month[12].valid, 1);
  EXPECT_EQ(month.rowCount(), 4u);
}

// One point with three nodal wells (W3's tight reservoir against 600 psi at
// the wellhead gives no nodal rate), a well interpolating its tests (which
// reads the run's scratch table) and a plain one.
const char* kMixedPoint =
    "#control\n*period 20050101 20050104\n*daily\n*report r.prn t.txt\n*load l.txt\n#end\n"
    "#network\n*Methods *Welltest\n*TF T1\n"
    "Well W1 *Oil *Zozed *Welltest\nWell W2 *Oil *Zozed *Welltest\n"
    "Well W3 *Oil *Zozed *Welltest\nWell W4 *Oil *interpolate *Welltest\nWell W5\n#end\n"
    "#volume\n*TF T1\n*date oil gas water\n20050101 1500 900 400\n20050102 1480 890 410\n"
    "20050103 1490 880 405\n20050104 1470 870 415\n#end\n"
    "#welltest\n*date oil gor bsw whfp\n*Well W1\n20041210 200 2000 30 200\n"
    "*Well W2\n20041212 150 2500 25 250\n*Well W3\n20041214 300 1600 30 600\n"
    "*Well W4\n20041201 100 800 20 300\n20050102 120 800 20 300\n20050103 110 800 20 300\n"
    "*Well W5\n20041220 250 700 40 220\n#end\n"
    "#equation\n*Well W1\n*ResProp 0 0 35 0.7 1.05 0 0 0 0\n"
    "*PVTPROP 3000 180 1.2 1.5 400 0 0.02 0.9 1.02 0.5 0\n"
    "*wellProp 50 20 4 30 0 1e-5 0\n*dateinfo 20041201 0 90\n*welldesc 2.441 8000 90 0\n"
    "*Well W2\n*wellProp 50 20 4 40 0 1e-5 0\n*dateinfo 20041201 0 90\n*welldesc 2.441 8000 90 0\n"
    "*Well W3\n*wellProp 50 20 4 10 0 1e-5 0\n*dateinfo 20041201 0 90\n*welldesc 2.441 8000 90 0\n"
    "#end\n";

struct RunOutcome {
  std::map<std::string, std::string> files;
  std::vector<int> oilSources;  // day 1 of W1..W5
  int noNodalRate = 0;          // records of wells whose nodal method found no rate
};

RunOutcome runMixedPoint(int threads) {
  RunState rs;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  options.threads = threads;
  RunOutcome outcome;
  options.inspect = [&](const RunState& state) {
    for (const auto& node : state.nodeTable) {
      if (isWellWithDays(state, *node)) outcome.oilSources.push_back(node->fluids[kOil].source[1]);
    }
    for (const Diagnostic& d : state.diagnostics) {
      if (d.kind == DiagnosticKind::kNoNodalRate) ++outcome.noNodalRate;
    }
  };
  EXPECT_EQ(runEngineOnText(rs, kMixedPoint, nullptr, options), 1);
  outcome.files = files.files();
  return outcome;
}

TEST(ThreadedRun, ThreeThreadsWriteWhatOneWrites) {
  const RunOutcome one = runMixedPoint(1);
  const RunOutcome three = runMixedPoint(3);
  ASSERT_EQ(one.files.size(), 3u);
  EXPECT_EQ(one.files, three.files);
  // W1 and W2 found their nodal rates, W3 fell back to its test, W4
  // interpolated, W5 took its test.
  const std::vector<int> sources = {kMethodZozed, kMethodZozed, kMethodWelltest, kMethodInterpolate,
                                    kMethodWelltest};
  EXPECT_EQ(one.oilSources, sources);
  EXPECT_EQ(three.oilSources, sources);
  EXPECT_EQ(one.noNodalRate, 1);
  EXPECT_EQ(three.noNodalRate, 1);
}

}  // namespace
}  // namespace zelba
