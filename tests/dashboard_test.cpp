// The dashboard page of a small run: self-contained, every input name
// escaped, and its figures those of the load file and the hand calculation.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/output_files.h"
#include "output/dashboard.h"

namespace zelba {
namespace {

using Json = nlohmann::json;

// One separator T<1>& and two wells whose names would end a script element
// or open an HTML comment; the second also has a byte that is not UTF-8.
// Tests 120 and 80 a day; measured 300 and 250: factors 300 / 200 = 1.5
// (out of the range 0.5 to 1.4, the wells get nothing) and 250 / 200 = 1.25
// (W</SCRIPT>1 gets 150, W2 100).
const char kInput[] =
    "#control\n*period 20050101 20050102\n*daily\n*Range 0.5 1.4\n*load load.txt\n#end\n"
    "#network\n*Header \"Test <b>&amp; field\"\n*Methods *Welltest\n*TF T<1>&\n"
    "Well W</script>1\nWell W2<!--\xff\n#end\n"
    "#volume\n*TF T<1>&\n*date oil\n20050101 300\n20050102 250\n#end\n"
    "#welltest\n*date oil\n*Well W</script>1\n20041201 120\n*Well W2<!--\xff\n20041201 80\n#end\n";

struct Outputs {
  std::string page;
  std::string data;
  std::string load;
};

Outputs runInput(const std::string& input) {
  RunState rs;
  MemoryFiles files;
  RunOptions options;
  options.files = &files;
  options.threads = 1;
  Outputs run;
  options.inspect = [&](const RunState& state) {
    run.page = dashboardHtml(state);
    run.data = dashboardData(state);
  };
  EXPECT_EQ(runEngineOnText(rs, input, nullptr, options), 1);
  run.load = files.text("load.txt");
  return run;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> result;
  for (std::string w; in >> w;) result.push_back(w);
  return result;
}

TEST(DashboardTest, PageIsSelfContainedAndEscapesEveryName) {
  const Outputs run = runInput(kInput);
  const std::string& page = run.page;
  ASSERT_FALSE(page.empty());

  // Nothing outside the page: no attribute names a file or address, the
  // policy refuses any request, and the one "://" is the chart library's
  // banner comment.
  EXPECT_EQ(count(page, " src="), 0u);
  EXPECT_EQ(count(page, " href="), 0u);
  EXPECT_EQ(count(page, "url("), 0u);
  EXPECT_EQ(count(page, "@import"), 0u);
  EXPECT_NE(page.find("content=\"default-src 'none';"), std::string::npos);
  EXPECT_EQ(count(page, "://"), 1u);
  EXPECT_NE(page.find("/*! https://github.com/leeoniya/uPlot (v1.6.32) */"), std::string::npos);

  // Three script elements (the document, the library, the page's script)
  // and no other "</script" or "<!--": the names cannot end the document.
  EXPECT_EQ(count(page, "</script>"), 3u);
  EXPECT_EQ(count(page, "</SCRIPT"), 0u);
  EXPECT_EQ(count(page, "<!--"), 0u);
  EXPECT_EQ(count(page, "<b>"), 0u);  // the header line's markup stays text
  EXPECT_NE(page.find("<title>ZelBA allocation - Test &lt;b&gt;&amp;amp; field</title>"),
            std::string::npos);
  EXPECT_NE(page.find("\"W\\u003c/SCRIPT\\u003e1\""), std::string::npos);
  EXPECT_NE(page.find("\"W2\\u003c!--\\ufffd\""), std::string::npos);
  EXPECT_NE(page.find("\"T\\u003c1\\u003e\\u0026\""), std::string::npos);
  // The page embeds the document as it is.
  EXPECT_NE(page.find("id=\"zelba-data\">" + run.data + "</script>"), std::string::npos);

  // The document is valid JSON (the stray byte replaced) and gives the
  // names back as the input wrote them, upper-cased.
  const Json doc = Json::parse(run.data);
  ASSERT_EQ(doc["wells"].size(), 2u);
  EXPECT_EQ(doc["wells"][0][0], "W</SCRIPT>1");
  EXPECT_EQ(doc["wells"][1][0], "W2<!--\xef\xbf\xbd");
  ASSERT_EQ(doc["points"].size(), 1u);
  EXPECT_EQ(doc["points"][0][0], "T<1>&");
  EXPECT_EQ(doc["h"][0], "Test <b>&amp; field");
}

TEST(DashboardTest, FiguresAreTheLoadFileAndTheHandCalculation) {
  const Outputs run = runInput(kInput);
  const Json doc = Json::parse(run.data);
  EXPECT_EQ(doc["start"], "20050101");
  EXPECT_EQ(doc["end"], "20050102");
  EXPECT_EQ(doc["mode"], "daily");
  EXPECT_EQ(doc["rmin"], "0.5000");
  EXPECT_EQ(doc["rmax"], "1.4000");
  EXPECT_EQ(doc["dates"], "20050101 20050102");
  ASSERT_EQ(doc["fluids"].size(), 1u);
  EXPECT_EQ(doc["fluids"][0][0], "Oil");

  // Each well's day figures against its block of the load file ("*keyname"
  // then date, hours on and allocated oil per day), wells in the same order.
  const std::vector<std::string> load = words(run.load);
  const std::vector<std::string> dates = words(doc["dates"]);
  std::vector<size_t> blocks;  // where each "*keyname" stands in `load`
  for (size_t at = 0; at < load.size(); ++at) {
    if (load[at] == "*keyname") blocks.push_back(at + 1);
  }
  ASSERT_EQ(blocks.size(), doc["wells"].size());
  EXPECT_EQ(load[blocks[0]], "\"W</SCRIPT>1\"");
  for (size_t w = 0; w < blocks.size(); ++w) {
    const Json& well = doc["wells"][w];
    const std::vector<std::string> hours = words(well[2]);
    const std::vector<std::string> allocated = words(well[4][0][3]);
    ASSERT_EQ(hours.size(), dates.size());
    ASSERT_EQ(allocated.size(), dates.size());
    ASSERT_LE(blocks[w] + 3 * dates.size(), load.size() - 1);
    for (size_t d = 0; d < dates.size(); ++d) {
      EXPECT_EQ(load[blocks[w] + 1 + 3 * d], dates[d]) << w;
      EXPECT_EQ(load[blocks[w] + 2 + 3 * d], hours[d]) << w;
      EXPECT_EQ(load[blocks[w] + 3 + 3 * d], allocated[d]) << w;
    }
  }

  // By hand: day 1 rejected (nothing allocated), day 2 at 1.25.
  const Json& w1 = doc["wells"][0];
  EXPECT_EQ(w1[2], "24.000 24.000");
  EXPECT_EQ(w1[3], "0 0");        // point 0 both days
  EXPECT_EQ(w1[4][0][1], "1 1");  // methods[1] both days
  EXPECT_EQ(doc["methods"][1], "Welltest");
  EXPECT_EQ(w1[4][0][2], "120.0 120.0");  // theoretical: the test rate
  EXPECT_EQ(w1[4][0][3], "0.0 150.0");    // 120 x 1.25
  EXPECT_EQ(w1[4][0][4], "240.0");
  EXPECT_EQ(w1[4][0][5], "150.0");
  EXPECT_EQ(doc["wells"][1][4][0][3], "0.0 100.0");  // 80 x 1.25

  const Json& point = doc["points"][0];
  EXPECT_EQ(point[3], "0 1");  // both wells are members
  const Json& oil = point[6][0];
  EXPECT_EQ(oil[1], "300.0 250.0");
  EXPECT_EQ(oil[2], "1.500 1.250");                         // 300 / 200, 250 / 200
  EXPECT_NE(oil[3].get<std::string>().substr(0, 2), "0 ");  // day 1 rejected
  EXPECT_EQ(oil[3].get<std::string>().substr(oil[3].get<std::string>().size() - 2), " 0");
  EXPECT_EQ(oil[4], "550.0");  // 300 + 250 to allocate
  EXPECT_EQ(oil[5], "400.0");  // (120 + 80) x 2 days
  EXPECT_EQ(oil[6], "250.0");  // day 2 only
  EXPECT_EQ(oil[7], "1.2500 to 1.5000");

  // The network totals: theoretical 400, allocated 250, factor 0.625; the
  // 300 of day 1 went to no member.
  EXPECT_EQ(doc["totals"][0], Json::parse(R"([0,"400.0","250.0","0.6250","300.0"])"));

  // The rejected factor is an exception linked to the point.
  ASSERT_EQ(doc["diags"].size(), 1u);
  const Json& d = doc["diags"][0];
  EXPECT_EQ(d[0], 2);  // DiagnosticKind::kFactorOutOfRange
  EXPECT_EQ(d[5], "Oil");
  EXPECT_EQ(d[6], "20050101");
  EXPECT_EQ(d[7], "1.5000");
  EXPECT_EQ(d[9], 0);    // point 0
  EXPECT_EQ(d[10], -1);  // no well
  EXPECT_EQ(doc["kinds"][2][1], 1);
}

TEST(DashboardTest, DownTimeRoutingAndAnEmptyRun) {
  // W1 is down 6 hours on the 2nd, and moves from T1 to T2 on the 3rd.
  const Outputs run = runInput(
      "#control\n*period 20050101 20050103\n*daily\n*load load.txt\n#end\n"
      "#network\n*Methods *Welltest\n*TF T1\nWell W1\n*TF T2\nWell W1\n#end\n"
      "#volume\n*TF T1\n*date oil\n20050101 100\n20050102 75\n20050103 0\n"
      "*TF T2\n*date oil\n20050101 0\n20050102 0\n20050103 100\n#end\n"
      "#welltest\n*date oil\n*Well W1\n20041201 100\n#end\n"
      "#time\n*date\n*Well W1\n20050102 18\n20050103 24 TF T2\n#end\n");
  const Json doc = Json::parse(run.data);
  ASSERT_EQ(doc["wells"].size(), 1u);
  const Json& w1 = doc["wells"][0];
  EXPECT_EQ(w1[2], "24.000 18.000 24.000");
  EXPECT_EQ(w1[3], "0 0 1");                   // T1, T1, then T2
  EXPECT_EQ(w1[4][0][2], "100.0 75.0 100.0");  // 100 a day x 18 / 24 on the 2nd
  EXPECT_EQ(w1[4][0][3], "100.0 75.0 100.0");  // each point's factor is 1
  EXPECT_EQ(doc["points"].size(), 2u);

  // A run with a period and no well still gives a page and a valid document.
  const Outputs empty =
      runInput("#control\n*period 20050101 20050101\n#end\n#network\n*TF T1\n#end\n");
  const Json none = Json::parse(empty.data);
  EXPECT_TRUE(none["wells"].empty());
  EXPECT_EQ(none["points"].size(), 1u);
  EXPECT_NE(empty.page.find("</html>"), std::string::npos);
}

}  // namespace
}  // namespace zelba
