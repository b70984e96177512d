// Compares the CSV the metering tool wrote with a stored expectation.
//
//   meter_tool_compare_csv EXPECTED ACTUAL
//
// Comment lines (#) are skipped, except the summary lines, which are
// compared like data rows. The column titles must match exactly. Numbers
// must agree within the golden tolerance: linear readings and times to
// 1e-5, decibels to 0.01 dB (below -100 dB any two values agree, and
// "-inf" matches them), over states exactly. The tolerance absorbs libm and
// compiler differences; the engines themselves are deterministic.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> rowsOf(const char* path, bool& ok) {
  std::ifstream in(path);
  ok = static_cast<bool>(in);
  std::vector<std::string> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line[0] == '#' && line.rfind("# summary:", 0) != 0) continue;
    rows.push_back(line);
  }
  return rows;
}

std::vector<std::string> fields(const std::string& row) {
  std::vector<std::string> out;
  std::stringstream in(row);
  std::string f;
  while (std::getline(in, f, ',')) out.push_back(f);
  return out;
}

bool number(const std::string& s, double& v) {
  if (s == "-inf") {
    v = -INFINITY;
    return true;
  }
  char* end = nullptr;
  v = std::strtod(s.c_str(), &end);
  return !s.empty() && end && *end == 0;
}

bool agree(const std::string& title, const std::string& a, const std::string& b) {
  if (a == b) return true;
  double x, y;
  if (!number(a, x) || !number(b, y)) return false;
  const bool decibels = title.size() > 3 && title.compare(title.size() - 3, 3, "_db") == 0;
  if (decibels) {
    if (x < -100.0 && y < -100.0) return true;
    return std::fabs(x - y) <= 0.01;
  }
  if (title.size() > 5 && title.compare(title.size() - 5, 5, "_over") == 0) return x == y;
  return std::fabs(x - y) <= 1e-5;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: meter_tool_compare_csv EXPECTED ACTUAL\n");
    return 2;
  }
  bool okExpected, okActual;
  const auto expected = rowsOf(argv[1], okExpected);
  const auto actual = rowsOf(argv[2], okActual);
  if (!okExpected || !okActual) {
    std::fprintf(stderr, "cannot read %s\n", okExpected ? argv[2] : argv[1]);
    return 1;
  }
  if (expected.empty() || actual.empty() || expected[0] != actual[0]) {
    std::fprintf(stderr, "column titles differ:\n  expected %s\n  actual   %s\n", expected.empty() ? "" : expected[0].c_str(),
                 actual.empty() ? "" : actual[0].c_str());
    return 1;
  }
  if (expected.size() != actual.size()) {
    std::fprintf(stderr, "expected %zu rows, got %zu\n", expected.size(), actual.size());
    return 1;
  }
  const auto titles = fields(expected[0]);
  int mismatches = 0;
  for (std::size_t r = 1; r < expected.size(); ++r) {
    const auto e = fields(expected[r]);
    const auto a = fields(actual[r]);
    const bool summary = expected[r].rfind("# summary:", 0) == 0;
    if (e.size() != a.size()) {
      std::fprintf(stderr, "row %zu: %zu fields expected, %zu found\n", r, e.size(), a.size());
      return 1;
    }
    for (std::size_t c = 0; c < e.size(); ++c) {
      // Summary rows: decibel fields sit after each value, times after them.
      std::string title = summary ? (c % 3 == 2 ? "x_db" : "x") : (c < titles.size() ? titles[c] : "x");
      if (summary && c + 2 >= e.size()) title = "x_over";
      if (!agree(title, e[c], a[c])) {
        if (++mismatches <= 10)
          std::fprintf(stderr, "row %zu, %s: expected %s, got %s\n", r, summary ? "summary" : titles[c].c_str(),
                       e[c].c_str(), a[c].c_str());
      }
    }
  }
  if (mismatches) {
    std::fprintf(stderr, "%d fields differ beyond the tolerance\n", mismatches);
    return 1;
  }
  std::printf("%zu rows agree\n", expected.size() - 1);
  return 0;
}
