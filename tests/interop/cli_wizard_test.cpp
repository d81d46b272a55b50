// zdreport wizard as users run it: a template made over a SQLite table,
// rendered by zdreport render and read back from the PDF by pdftotext,
// against what sqlite3 says the table holds.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/interop/CommandLineRun.h"

using namespace zd::test;

namespace {

class CliWizard : public TCommandLineTest {
 protected:
  static std::vector<std::string> Sqlite(const std::string& query) {
    const ToolRun run = RunTool("sqlite3", {"-separator", " ", kDatabase, query});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return Lines(run.out);
  }
  // Renders the template over the query's rows; the PDF's text, line by line.
  std::vector<std::string> Rendered(const std::string& zdq, const std::string& query) {
    const std::string pdf = Out("out.pdf");
    const ToolRun render = Zdreport({"render", zdq, "--data", kData, "--sql", query, "-o", pdf});
    EXPECT_EQ(render.exitCode, 0) << render.err;
    const ToolRun text = RunTool("pdftotext", {"-q", "-layout", pdf, "-"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    return Lines(text.out);
  }
};

TEST_F(CliWizard, GroupedTemplateRendersEveryRowGroupAndTotal) {
  const std::string zdq = Out("grouped.zdq");
  const ToolRun run = Zdreport({"wizard", "--data", kData, "--fields", "country,customer,product,quantity", "--group",
                                "country", "--sum", "quantity", "--style", "executive", "--title", "Order lines",
                                "-o", zdq});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Wrote " + zdq + "\n");
  const std::string query = "SELECT * FROM order_lines ORDER BY country, order_id, product";
  const std::map<std::string, int> printed = Counted(Rendered(zdq, query));

  EXPECT_EQ(printed.count("Order lines"), 1u);
  // A caption line on every page, then each row on a line of its own.
  const auto rows = Sqlite("SELECT country, customer, product, quantity FROM order_lines");
  ASSERT_GT(rows.size(), 100u);
  for (const auto& [row, count] : Counted(rows)) {
    const auto found = printed.find(row);
    EXPECT_EQ(found == printed.end() ? 0 : found->second, count) << row;
  }
  // A header and a total for each country, and the total of all.
  for (const std::string& group : Sqlite("SELECT country, SUM(quantity) FROM order_lines GROUP BY country")) {
    const std::string country = group.substr(0, group.rfind(' ')), total = group.substr(group.rfind(' ') + 1);
    EXPECT_EQ(printed.count("Expression: " + country), 1u) << country;
    EXPECT_GE(printed.count(total), 1u) << country << " " << total;
  }
  EXPECT_EQ(printed.count(Sqlite("SELECT SUM(quantity) FROM order_lines").at(0)), 1u);
}

TEST_F(CliWizard, LabelsAndTabularTemplatesPrintEveryValue) {
  for (const std::vector<std::string>& layout :
       {std::vector<std::string>{"--type", "labels", "--across", "3", "--frame", "rounded"},
        std::vector<std::string>{"--type", "tabular", "--style", "presentative"}}) {
    SCOPED_TRACE(layout[1]);
    const std::string zdq = Out(layout[1] + ".zdq");
    std::vector<std::string> args = {"wizard", "--data", kData, "--fields", "customer,city", "-o", zdq};
    args.insert(args.end(), layout.begin(), layout.end());
    const ToolRun run = Zdreport(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // Labels stand side by side: count the customers' names in the text.
    std::string text;
    for (const std::string& line : Rendered(zdq, "SELECT * FROM order_lines WHERE country = 'Italy'"))
      text += " " + CollapseBlanks(line) + " ";
    for (const std::string& customer : Sqlite("SELECT customer, COUNT(*) FROM order_lines WHERE country = 'Italy' "
                                              "GROUP BY customer")) {
      const std::string name = customer.substr(0, customer.rfind(' '));
      const int expected = std::stoi(customer.substr(customer.rfind(' ') + 1));
      int found = 0;
      for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) ++found;
      EXPECT_EQ(found, expected) << name;
    }
  }
}

TEST_F(CliWizard, MistakesAreUsageErrors) {
  const std::string zdq = Out("bad.zdq");
  const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
      {{"wizard", "--data", kData, "--fields", "customer,nowhere", "-o", zdq},
       "--fields: the data has no field 'nowhere'"},
      {{"wizard", "--data", kData, "--sum", "price", "-o", zdq}, "--sum: the data has no field 'price'"},
      {{"wizard", "--data", kData, "--type", "labels", "--group", "country", "-o", zdq},
       "labels take no --group, --sum, --style or --title"},
      {{"wizard", "--data", kData, "--group", "a", "--group", "b", "--group", "c", "--group", "d", "-o", zdq},
       "the wizard makes at most three groups"},
      {{"wizard", "--data", kData, "--style", "fancy", "-o", zdq}, "--style takes one of"},
      {{"wizard", "--data", kData}, "wizard needs an output file"},
      {{"wizard", "--data", kData, "-o", kDatabase}, "the template would replace the data file"},
  };
  for (const auto& [args, message] : mistakes) {
    const ToolRun run = Zdreport(args);
    EXPECT_EQ(run.exitCode, 2) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(zdq));
}

}  // namespace
