#include "hardening/cases.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "suite/programs.h"

namespace hardening {

namespace {

// A column file "time u e n" of `samples` lines of varied values.
std::string ColumnFile(int samples) {
  std::string text;
  for (int i = 0; i < samples; ++i) {
    text += std::to_string(i * 0.01) + " " + std::to_string((i * 7) % 13 - 6.5) + " " +
            std::to_string((i * 5) % 11 - 5.25) + " " + std::to_string((i * 3) % 7 - 3.125) + "\n";
  }
  return text;
}

// A column file whose components sit at the edges of double: the largest
// and smallest magnitudes, NaN and infinities.
constexpr char kExtremeColumnFile[] = "0 1e308 -1e308 5e-324\n0.01 nan inf -inf\n0.02 1 2 3\n";

// The file's bytes, or "" if there is no such file.
std::string ReadIfPresent(const std::filesystem::path& path) {
  if (!std::filesystem::exists(path)) return {};
  return testsupport::ReadFile(path);
}

// The regular files of a folder, sorted by name; none if there is no folder.
std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  if (!std::filesystem::is_directory(dir)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Applies one line of the `case` file to `c`.
void ApplySetting(const std::string& line, ProgramCase& c, const std::filesystem::path& file) {
  std::istringstream words(line.substr(0, line.find('#')));
  std::string key;
  if (!(words >> key)) return;
  std::string name;
  int samples = 0;
  bool understood = true;
  if (key == "streams") {
    c.streams = true;
  } else if (key == "lines_before_stop") {
    understood = static_cast<bool>(words >> c.lines_before_stop);
  } else if (key == "data_file") {
    understood = static_cast<bool>(words >> c.data_file);
  } else if (key == "outputs") {
    while (words >> name) c.outputs.push_back(name);
  } else if (key == "column_file" && words >> name >> samples) {
    c.files.emplace_back(name, ColumnFile(samples));
  } else if (key == "extreme_column_file" && words >> name) {
    c.files.emplace_back(name, kExtremeColumnFile);
  } else {
    understood = false;
  }
  if (!understood) throw std::runtime_error(file.string() + ": cannot read the setting '" + line + "'");
}

std::filesystem::path CasesFolder() { return CIRCARRAY_HARDENING_CASES_DIR; }

}  // namespace

ProgramCase LoadCase(const suite::Program& program, const std::filesystem::path& dir) {
  ProgramCase c{.program = program};
  c.input = ReadIfPresent(dir / "input");
  c.stop_input = ReadIfPresent(dir / "stop_input");
  for (const auto& path : FilesOf(dir / "files")) {
    c.files.emplace_back(path.filename().string(), testsupport::ReadFile(path));
  }
  for (const auto& path : FilesOf(dir / "extreme")) c.extreme_inputs.push_back(testsupport::ReadFile(path));
  std::istringstream settings(ReadIfPresent(dir / "case"));
  for (std::string line; std::getline(settings, line);) ApplySetting(line, c, dir / "case");
  return c;
}

const std::vector<ProgramCase>& AllCases() {
  static const std::vector<ProgramCase> cases = [] {
    std::vector<ProgramCase> loaded;
    for (const suite::Program* program : suite::kAllPrograms) {
      const std::filesystem::path dir = CasesFolder() / program->name;
      if (std::filesystem::is_directory(dir)) loaded.push_back(LoadCase(*program, dir));
    }
    return loaded;
  }();
  return cases;
}

std::vector<std::string> StaleCaseFolders() {
  std::vector<std::string> stale;
  for (const auto& entry : std::filesystem::directory_iterator(CasesFolder())) {
    if (!entry.is_directory()) continue;
    const std::string name = entry.path().filename().string();
    const bool listed = std::any_of(std::begin(suite::kAllPrograms), std::end(suite::kAllPrograms),
                                    [&](const suite::Program* p) { return p->name == name; });
    if (!listed) stale.push_back(name);
  }
  return stale;
}

void ExpectCleanEnd(const ProgramCase& c, const testsupport::Outcome& o) {
  if (o.status == 0) {
    EXPECT_EQ(o.err, "");
  } else {
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(testsupport::IsOneDiagnosticLine(o.err, c.program.name)) << o.err;
  }
}

void PlaceFiles(const ProgramCase& c, const testsupport::TempDir& dir) {
  for (const auto& [name, text] : c.files) dir.Write(name, text);
}

testsupport::Outcome RunIn(const testsupport::TempDir& dir, const ProgramCase& c, std::string_view input,
                           size_t stdout_limit) {
  testsupport::RunOptions options;
  options.directory = dir.path();
  options.stdout_limit = stdout_limit;
  return testsupport::RunInProcess(c.program, input, options);
}

}  // namespace hardening
