// Measurements in processes of their own: a benchmark starts itself again once per measurement,
// the kinds taking turns round after round, and reports medians. In one process whichever
// renderer goes second would profit from the first one's warm-up of the software rasteriser.
#pragma once

// <unistd.h> for the program's own path, to start it again.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Public functions

// The running program's path.
inline std::string bench_SelfPath() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) return std::string();
  return std::string(path, static_cast<size_t>(length));
}

// Runs this program again with the arguments and returns what it wrote on standard output;
// empty when it could not be started or failed.
inline std::string bench_RunSelf(const std::vector<std::string>& arguments) {
  std::string command = "'" + bench_SelfPath() + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return std::string();
  std::string output;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof(buffer), child)) > 0;) {
    output.append(buffer, got);
  }
  if (pclose(child) != 0) return std::string();
  return output;
}

// The number after "key=" in the text, or -1 when it is not there.
inline double bench_Field(const std::string& text, const std::string& key) {
  size_t at = text.find(key + "=");
  if (at == std::string::npos) return -1.0;
  return std::atof(text.c_str() + at + key.size() + 1);
}

// The text after "key=" up to the next space or line end.
inline std::string bench_Word(const std::string& text, const std::string& key) {
  size_t at = text.find(key + "=");
  if (at == std::string::npos) return std::string();
  size_t start = at + key.size() + 1;
  size_t end = text.find_first_of(" \n", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

inline double bench_Median(std::vector<double> values) {
  if (values.empty()) return -1.0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2.0;
}

// Runs every kind once a round, each in its own process, for `rounds` rounds; the order turns
// by one place every round, so no kind always runs first or last. `arguments` gives the child's
// arguments for a kind; `key` names the figure read from its output. Each run is printed as it
// finishes. Returns the figures by kind (failed runs are left out).
inline std::map<std::string, std::vector<double>> bench_Alternate(
    const std::vector<std::string>& kinds, int rounds, const std::string& key,
    const std::function<std::vector<std::string>(const std::string&)>& arguments) {
  std::map<std::string, std::vector<double>> figures;
  for (int round = 0; round < rounds; ++round) {
    for (size_t turn = 0; turn < kinds.size(); ++turn) {
      const std::string& kind = kinds[(turn + static_cast<size_t>(round)) % kinds.size()];
      std::string output = bench_RunSelf(arguments(kind));
      while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
      double figure = bench_Field(output, key);
      std::printf("round %d %-8s %s\n", round + 1, kind.c_str(),
                  output.empty() ? "failed" : output.c_str());
      std::fflush(stdout);
      if (figure >= 0.0) figures[kind].push_back(figure);
    }
  }
  return figures;
}
