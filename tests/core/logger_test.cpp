#include "platform/logger.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <thread>

#include "records/date_time.h"
#include "small_disk.h"
#include "temp_folder.h"

namespace velmora {
namespace {

const std::string kDashes(68, '-');

// The messages of the log's lines; a line without the "hh:mm:ss " prefix or CR LF fails the test.
std::vector<std::string> Messages(const std::string& content) {
  static const std::regex line(R"(([01]\d|2[0-3]):[0-5]\d:[0-5]\d (.*))");
  std::vector<std::string> messages;
  for (std::size_t start = 0, end; start < content.size(); start = end + 2) {
    end = content.find("\r\n", start);
    std::smatch match;
    const std::string text = content.substr(start, end - start);
    if (end == std::string::npos || !std::regex_match(text, match, line)) {
      ADD_FAILURE() << "malformed line: " << text;
      break;
    }
    messages.push_back(match[2]);
  }
  return messages;
}

// The single file in the folder, named after the day.
std::string LogContent(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files(std::filesystem::directory_iterator(folder), {});
  EXPECT_EQ(files.size(), 1u);
  if (files.empty()) return {};
  EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(\d{4}\.\d\d\.\d\d\.log)")));
  return testing::ReadFile(files[0]);
}

TEST(Logger, RunsOfTheDayAppendTimedLinesToOneFile) {
  testing::TTempFolder folder;
  const std::string today = FormatDate(Today());
  {
    TLogger first;
    first.Log("not open yet");
    ASSERT_TRUE(first.Open(folder.Path()).Ok());
    EXPECT_TRUE(first.File() == folder / (today + ".log") || first.File() == folder / (FormatDate(Today()) + ".log"));
    first.Log("Opening game 2024-117");
    first.Log("");
  }
  TLogger second;
  ASSERT_TRUE(second.Open(folder.Path()).Ok());
  second.Log("Ñandú € 🏀");
  second.Close();
  EXPECT_FALSE(second.IsOpen());
  second.Log("closed");
  EXPECT_EQ(Messages(LogContent(folder.Path())),
            (std::vector<std::string>{kDashes, "Program started", "Opening game 2024-117", "", kDashes,
                                      "Program started", "Ñandú € 🏀"}));

  const TStatus failed = second.Open(folder / "missing");
  ASSERT_FALSE(failed.Ok());
  EXPECT_NE(failed.Error().find("missing"), std::string::npos);
  EXPECT_FALSE(second.IsOpen());
}

TEST(Logger, ConcurrentLinesStayWholeAndInOrder) {
  testing::TTempFolder folder;
  TLogger logger;
  ASSERT_TRUE(logger.Open(folder.Path()).Ok());
  constexpr int kThreads = 8;
  constexpr int kLines = 400;
  const auto line = [](int thread, int n) {
    return "thread " + std::to_string(thread) + " line " + std::to_string(n) + " " + std::string(200, 'a' + thread);
  };
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        for (int n = 0; n < kLines; ++n) logger.Log(line(t, n));
      });
    }
  }
  logger.Close();

  const std::vector<std::string> messages = Messages(LogContent(folder.Path()));
  ASSERT_EQ(messages.size(), 2u + kThreads * kLines);
  std::map<int, int> next;
  for (std::size_t i = 2; i < messages.size(); ++i) {
    const int thread = messages[i][7] - '0';
    EXPECT_EQ(messages[i], line(thread, next[thread]++));
  }
}

TEST(Logger, ALineCutShortByAFullDiskIsEndedBeforeTheNextOne) {
  testing::TTempFolder folder;
  testing::TSmallDisk disk(folder / "disk", 256 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Failure();
  TLogger logger;
  ASSERT_TRUE(logger.Open(disk.Path()).Ok());
  disk.Fill();
  // The log's last page still has room for part of a long line, not for all of it.
  logger.Log(std::string(8000, 'x'));
  const std::string cut = testing::ReadFile(logger.File());
  ASSERT_FALSE(cut.ends_with("\r\n")) << "the disk did not cut the line";
  logger.Log("lost as well");
  disk.Free();
  logger.Log("Closed game G-1");
  const std::string content = testing::ReadFile(logger.File());
  ASSERT_TRUE(content.ends_with("\r\n"));
  const std::size_t last = content.rfind("\r\n", content.size() - 3);
  ASSERT_NE(last, std::string::npos);
  const std::vector<std::string> tail = Messages(content.substr(last + 2));
  EXPECT_EQ(tail, std::vector<std::string>{"Closed game G-1"}) << "the next line stands on a line of its own";
}

}  // namespace
}  // namespace velmora
