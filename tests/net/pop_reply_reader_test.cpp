#include "net/pop_reply_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lp {
namespace {

using Status = PopReplyReader::Status;

struct MultiLineCase {
  const char* name;
  std::string stream;
  bool complete;
  std::size_t consumed;  // bytes that belong to the reply
};

// Feeds `stream` in pieces of `piece` bytes; returns the last status, the
// bytes the sink got and what was left over.
struct Fed {
  Status status = Status::Incomplete;
  std::string sunk;
  std::string left;
};

Fed FeedInPieces(PopReplyReader& reader, const std::string& stream, std::size_t piece, std::string* sunk) {
  Fed fed;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    std::string_view bytes = std::string_view(stream).substr(at, piece);
    fed.status = reader.Feed(bytes);
    if (fed.status != Status::Incomplete) {
      fed.left = std::string(bytes) + stream.substr(std::min(stream.size(), at + piece));
      break;
    }
  }
  if (sunk != nullptr) fed.sunk = *sunk;
  return fed;
}

TEST(PopReplyReader, FindsTheTerminatorWhereverThePiecesSplitIt) {
  const std::vector<MultiLineCase> cases = {
      {"empty message", "+OK\r\n.\r\n", true, 8},
      {"one line", "+OK 5\r\nabc\r\n.\r\n", true, 15},
      {"stuffed dot line is no end", "+OK\r\n..\r\nx\r\n.\r\n", true, 15},
      {"dot inside a line is no end", "+OK\r\nab.\r\nmore", false, 0},
      {"reply followed by the next", "+OK\r\nx\r\n.\r\n+OK next\r\n", true, 11},
      {"bare LF dot is no end", "+OK\r\nx\n.\n", false, 0},
  };
  for (const MultiLineCase& c : cases) {
    for (std::size_t piece = 1; piece <= c.stream.size(); ++piece) {
      SCOPED_TRACE(std::string(c.name) + " piece " + std::to_string(piece));
      std::string sunk;
      PopReplyReader reader;
      reader.ExpectMultiLine([&sunk](std::string_view data) {
        sunk.append(data);
        return true;
      });
      const Fed fed = FeedInPieces(reader, c.stream, piece, &sunk);
      if (c.complete) {
        EXPECT_EQ(fed.status, Status::Complete);
        EXPECT_EQ(fed.sunk, c.stream.substr(0, c.consumed));
        EXPECT_EQ(fed.left, c.stream.substr(c.consumed));
        EXPECT_TRUE(reader.IsOk());
      } else {
        EXPECT_EQ(fed.status, Status::Incomplete);
        EXPECT_TRUE(reader.Waiting());
      }
    }
  }
}

TEST(PopReplyReader, NegativeMultiLineReplyEndsAtItsStatusLine) {
  std::string sunk;
  PopReplyReader reader;
  reader.ExpectMultiLine([&sunk](std::string_view data) {
    sunk.append(data);
    return true;
  });
  std::string_view bytes = "-ERR no such message\r\n";
  EXPECT_EQ(reader.Feed(bytes), Status::Complete);
  EXPECT_FALSE(reader.IsOk());
  EXPECT_EQ(reader.StatusLine(), "-ERR no such message");
  EXPECT_TRUE(sunk.empty());
}

TEST(PopReplyReader, StatusLineIsGatheredOverPiecesAndLeavesTheRest) {
  PopReplyReader reader;
  reader.ExpectStatusLine();
  std::string_view first = "+OK 2 ";
  EXPECT_EQ(reader.Feed(first), Status::Incomplete);
  std::string_view second = "320\r\n+OK";
  EXPECT_EQ(reader.Feed(second), Status::Complete);
  EXPECT_EQ(reader.StatusLine(), "+OK 2 320");
  EXPECT_EQ(second, "+OK");
}

TEST(PopReplyReader, BoundsLinesAndTotals) {
  {
    PopReplyReader reader;
    reader.ExpectStatusLine();
    const std::string endless(PopReplyReader::kMaxStatusLine + 1, 'x');
    std::string_view bytes = endless;
    EXPECT_EQ(reader.Feed(bytes), Status::LineTooLong);
  }
  {
    PopReplyReader reader;
    reader.ExpectMultiLine([](std::string_view) { return true; }, 10);
    const std::string stream = "+OK\r\n" + std::string(11, 'y');
    std::string_view bytes = stream;
    EXPECT_EQ(reader.Feed(bytes), Status::LineTooLong);
  }
  {
    PopReplyReader reader;
    reader.ExpectMultiLine([](std::string_view) { return true; }, 0, 20);
    const std::string stream = "+OK\r\n" + std::string(30, 'z') + "\r\n.\r\n";
    std::string_view bytes = stream;
    EXPECT_EQ(reader.Feed(bytes), Status::TooLarge);
  }
  {
    PopReplyReader reader;
    reader.ExpectMultiLine([](std::string_view) { return false; });
    std::string_view bytes = "+OK\r\nx\r\n.\r\n";
    EXPECT_EQ(reader.Feed(bytes), Status::SinkFailed);
  }
}

}  // namespace
}  // namespace lp
