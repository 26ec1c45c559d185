#ifndef SYMBASE_TESTS_APPS_SYMBASE_IMPORT_FIXTURE_H
#define SYMBASE_TESTS_APPS_SYMBASE_IMPORT_FIXTURE_H

// A base holding the example plant, and ways to read one object's fields
// back through the tool. Header-only.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"

namespace cli_testing {

class PlantBase : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0);
    CliRun plant = RunCli({"import", dir_.path(), Example("plant.csv")});
    ASSERT_EQ(plant.status, 0) << plant.err;
    ASSERT_TRUE(Contains(plant.out, "imported 28 rows: 28 added")) << plant.out;
  }

  std::string Field(const std::string& address, const char* label) {
    std::string out = RunCli({"find", dir_.path(), address}).out;
    std::size_t start = out.find(label);
    if (start == std::string::npos) return "<none>";
    start += std::string(label).size();
    return out.substr(start, out.find('\n', start) - start);
  }
  std::string Symbol(const std::string& address) { return Field(address, "symbol:  "); }
  std::string Comment(const std::string& address) { return Field(address, "comment: "); }

  std::string WriteFile(const std::string& bytes, const std::string& name = "in.csv") {
    testing_support::WriteFileBytes(dir_.file(name), bytes);
    return dir_.file(name);
  }

  testing_support::TempDir dir_;
};

}  // namespace cli_testing

#endif
